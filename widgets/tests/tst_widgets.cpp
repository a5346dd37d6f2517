#include "startup/StartUp.h"
#include "widgets/Artwork.h"
#include "widgets/CheckPicture.h"
#include "widgets/ImageButton.h"
#include "widgets/QtClickSounds.h"
#include "widgets/QtPrompter.h"
#include "widgets/SkinnedWindow.h"
#include "widgets/TextStyle.h"

#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

using namespace TestSupport;

namespace {

// Records sounds and clicks in one sequence, so that a test sees their order.
struct EventLog final : public ClickSoundPlayer
{
    QStringList events;
    void PlayClickSound(ClickSound kind) override { events.append(QStringLiteral("sound%1").arg(int(kind))); }
};

// A picture button on a shown window, logging its sounds and clicks into one sequence.
struct LoggedButton
{
    QWidget host;
    EventLog log;
    ImageButton* button = new ImageButton(&host);

    LoggedButton()
    {
        button->setGeometry(0, 0, 91, 18);
        button->setWord(QStringLiteral("SAVE"));
        button->setSounds(&log);
        QObject::connect(button, &ImageButton::clicked, &host, [this] { log.events.append(QStringLiteral("click")); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
    }
};

class TestWindow final : public SkinnedWindow
{
public:
    TestWindow() : SkinnedWindow(QSize(200, 150), Frame::WhiteLines) {}

protected:
    void closeRequested() override {}
};

QImage Flat(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Shown(QWidget& widget)
{
    return Flat(widget.grab());
}

} // namespace

class TestWidgets final : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        // The file dialog keeps its state in the user's settings: let it keep them in a temporary folder.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        TextStyle::install();
    }

    void imageButtonClicks()
    {
        LoggedButton b;
        ImageButton* button = b.button;
        QCOMPARE(Shown(*button), Flat(button->normalImage()));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 9));
        QVERIFY(button->isDown());
        QCOMPARE(Shown(*button), Flat(button->pressedImage()));
        QVERIFY(b.log.events.isEmpty());
        // The release arrives at the pressed button even when the pointer has left it.
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 40));
        QVERIFY(!button->isDown());
        QCOMPARE(Shown(*button), Flat(button->normalImage()));
        QCOMPARE(b.log.events, QStringList({QStringLiteral("sound1"), QStringLiteral("click")}));

        // The other mouse buttons neither press nor click.
        b.log.events.clear();
        for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mousePress(button, other, {}, QPoint(20, 9));
            QVERIFY(!button->isDown());
            QCOMPARE(Shown(*button), Flat(button->normalImage()));
            QTest::mouseRelease(button, other, {}, QPoint(20, 9));
            QTest::mouseClick(button, other, {}, QPoint(20, 9));
        }
        QVERIFY(b.log.events.isEmpty());
    }

    void imageButtonKeys()
    {
        LoggedButton b;
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
            b.log.events.clear();
            QTest::keyPress(b.button, key);
            QVERIFY(b.button->isDown());
            QVERIFY(b.log.events.isEmpty());
            QTest::keyRelease(b.button, key);
            QVERIFY(!b.button->isDown());
            QCOMPARE(b.log.events, QStringList({QStringLiteral("sound1"), QStringLiteral("click")}));
        }
        // Other keys do nothing.
        QTest::keyClick(b.button, Qt::Key_A);
        QCOMPARE(b.log.events.size(), 2);
    }

    void imageButtonNamesAndFaces()
    {
        ImageButton button;
        button.resize(91, 18);
        button.setWord(QStringLiteral("SAVE"));
        QCOMPARE(button.accessibleName(), QStringLiteral("Save"));

        // A new size draws the faces anew at that size.
        button.resize(121, 18);
        QCOMPARE(button.normalImage().deviceIndependentSize(), QSizeF(121, 18));
        QCOMPARE(button.pressedImage().deviceIndependentSize(), QSizeF(121, 18));

        // Given images win over the drawn face, also after a resize.
        QPixmap red(121, 18);
        red.fill(Qt::red);
        QPixmap blue(121, 18);
        blue.fill(Qt::blue);
        button.setImages(red, blue);
        QCOMPARE(Shown(button).pixel(60, 9), QColor(Qt::red).rgb());
        button.resize(120, 18);
        QCOMPARE(button.normalImage().toImage().pixel(0, 0), QColor(Qt::red).rgb());
    }

    void checkPictureClicks()
    {
        QWidget host;
        auto* check = new CheckPicture(&host);
        check->move(10, 10);
        QSignalSpy clicks(check, &CheckPicture::clicked);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(check->size(), QSize(16, 16));

        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, 8));
        QCOMPARE(clicks.count(), 1);
        // It has no image of its own to change: the owner decides.
        QVERIFY(!check->isOn());

        // The right button, and a release away from it, are no clicks; Space and Return are.
        QTest::mouseClick(check, Qt::RightButton, {}, QPoint(8, 8));
        QTest::mousePress(check, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(check, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(clicks.count(), 1);
        check->setFocus(Qt::TabFocusReason);
        QTest::keyClick(check, Qt::Key_Space);
        QTest::keyClick(check, Qt::Key_Return);
        QCOMPARE(clicks.count(), 3);

        check->setOn(true);
        QCOMPARE(Shown(*check), Flat(Artwork::checkOn(check->devicePixelRatioF())));
        check->setOn(false);
        check->clearFocus();
        QCOMPARE(Shown(*check), Flat(Artwork::checkOff(check->devicePixelRatioF())));
    }

    void skinnedWindowFrameAndPlace()
    {
        TestWindow window;
        QCOMPARE(window.minimumSize(), QSize(200, 150));
        QCOMPARE(window.maximumSize(), QSize(200, 150));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint offCentre = window.geometry().center() - available.center();
        QVERIFY(qAbs(offCentre.x()) <= 1 && qAbs(offCentre.y()) <= 1);

        // The white frame lines along the client edges.
        const QImage shown = Shown(window);
        for (const QPoint p : {QPoint(0, 0), QPoint(100, 0), QPoint(199, 75), QPoint(100, 149), QPoint(0, 75)})
            QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::white));
        QVERIFY(qGray(shown.pixel(100, 75)) < 100);

        // Shown again after being moved, it stays where the user put it.
        window.move(available.topLeft() + QPoint(5, 7));
        window.hide();
        window.show();
        QCOMPARE(window.pos(), available.topLeft() + QPoint(5, 7));
    }

    void shadowTwinFollowsCaption()
    {
        QWidget host;
        auto* label = new QLabel(QStringLiteral("0"), &host);
        label->setGeometry(176, 104, 33, 17);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFont(TextStyle::font(9));
        QLabel* twin = TextStyle::addShadow(label, QStringLiteral("LabelSFD2"));
        QCOMPARE(host.findChild<QLabel*>(QStringLiteral("LabelSFD2")), twin);
        QCOMPARE(twin->geometry(), QRect(175, 105, 33, 17));
        QCOMPARE(twin->alignment(), label->alignment());
        QCOMPARE(twin->font(), label->font());
        // Beneath the label: earlier in the stacking order.
        QVERIFY(host.children().indexOf(twin) < host.children().indexOf(label));
        // A second call gives the same twin, not another.
        QCOMPARE(TextStyle::addShadow(label), twin);

        // The grey holds under a style sheet that colours every label.
        host.setStyleSheet(QStringLiteral("QLabel { color: black; }"));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(twin->palette().color(QPalette::WindowText), TextStyle::ShadowGrey);

        QVERIFY(QFont::substitutes(QStringLiteral("Palatino Linotype"))
                    .contains(QStringLiteral("P052"), Qt::CaseInsensitive));
    }

    void folderDialogShowsTheWholePrompt()
    {
        // Asked through the program's own prompter, the user sees both lines of the prompt, and the folder
        // chosen in the dialog is the answer.
        QTemporaryDir chosen;
        QStringList shownLines;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* folders = qobject_cast<QFileDialog*>(dialog);
            if (!folders && dialog)
                folders = dialog->findChild<QFileDialog*>();
            if (!folders) {
                if (dialog)
                    dialog->close();
                return;
            }
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->isVisible() && label->text().contains(QStringLiteral("Example:")))
                    shownLines = label->text().split(QLatin1Char('\n'));
            }
            folders->setDirectory(chosen.path());
            // The file dialog's own accept() is protected; the dialog's is the Choose button's slot.
            static_cast<QDialog*>(folders)->accept();
        });
        QtPrompter qtPrompter;
        Prompter& prompter = qtPrompter;
        const QString answer = prompter.chooseFolder(StartUp::folderPrompt());
        QCOMPARE(shownLines, StartUp::folderPrompt().split(QStringLiteral("\r\n")));
        QCOMPARE(QDir(answer), QDir(chosen.path()));
    }

    // The sound system's libraries are loaded with the sounds, by the first click (or a moment after start),
    // not with the program.
    void clickSoundsLoadLate()
    {
#if defined(Q_OS_WIN)
        // Windows plays the clicks through its own call, so no Qt sound system is loaded, late or at all.
        QtClickSounds sounds;
        sounds.PlayClickSound(ClickSound::Button);
        QVERIFY(sounds.load());
        QVERIFY(!GetModuleHandleW(L"Qt6Multimedia.dll"));
#elif !defined(Q_OS_LINUX) || defined(GX_SOUNDS_LINKED)
        QSKIP("this build links the sound system into the program");
#else
        const auto multimediaLoaded = [] {
            QFile maps(QStringLiteral("/proc/self/maps"));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
        };
        QtClickSounds sounds;
        QVERIFY(!multimediaLoaded());
        sounds.PlayClickSound(ClickSound::Button);
        QVERIFY(sounds.load());
        QVERIFY(multimediaLoaded());
#endif
    }

    void builtPictures_data()
    {
        if (!Artwork::hasBuiltPictures())
            QSKIP("this build paints every picture at run time");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qreal>("dpr");
        for (const auto& [name, dpr] : Artwork::builtPictures())
            QTest::addRow("%s@%g", qPrintable(name), dpr) << name << dpr;
    }

    // The program shows these instead of painting them: they must be what painting gives, pixel for pixel.
    void builtPictures()
    {
        QFETCH(QString, name);
        QFETCH(qreal, dpr);
        const QImage built = Artwork::builtPicture(name, dpr);
        QVERIFY(!built.isNull());
        QCOMPARE(built.devicePixelRatio(), dpr);
        QCOMPARE(built, Artwork::paintPicture(name, dpr));
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
