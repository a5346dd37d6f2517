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
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

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
        QWidget host;
        EventLog log;
        auto* button = new ImageButton(&host);
        button->setGeometry(0, 0, 91, 18);
        button->setWord(QStringLiteral("SAVE"));
        button->setSounds(&log);
        QObject::connect(button, &ImageButton::clicked, &host, [&log] { log.events.append(QStringLiteral("click")); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        const QStringList soundThenClick{QStringLiteral("sound1"), QStringLiteral("click")};
        QCOMPARE(Shown(*button), Flat(button->normalImage()));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 9));
        QCOMPARE(Shown(*button), Flat(button->pressedImage()));
        QVERIFY(log.events.isEmpty());
        // The release arrives at the pressed button even when the pointer has left it.
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 40));
        QVERIFY(!button->isDown());
        QCOMPARE(log.events, soundThenClick);

        // The other mouse buttons neither press nor click, nor do other keys; the keys that click press first.
        log.events.clear();
        QTest::mousePress(button, Qt::RightButton, {}, QPoint(20, 9));
        QVERIFY(!button->isDown());
        QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(20, 9));
        QTest::keyClick(button, Qt::Key_A);
        QVERIFY(log.events.isEmpty());
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
            log.events.clear();
            QTest::keyPress(button, key);
            QVERIFY(button->isDown() && log.events.isEmpty());
            QTest::keyRelease(button, key);
            QVERIFY(!button->isDown());
            QCOMPARE(log.events, soundThenClick);
        }

        // Given images win over the drawn face.
        QPixmap red(91, 18);
        red.fill(Qt::red);
        QPixmap blue(91, 18);
        blue.fill(Qt::blue);
        button->setImages(red, blue);
        QCOMPARE(Shown(*button).pixel(45, 9), QColor(Qt::red).rgb());
    }

    void checkPictureClicks()
    {
        QWidget host;
        auto* check = new CheckPicture(&host);
        check->move(10, 10);
        QSignalSpy clicks(check, &CheckPicture::clicked);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

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
        QCOMPARE(twin->geometry(), QRect(175, 105, 33, 17));
        QCOMPARE(twin->alignment(), label->alignment());
        QCOMPARE(twin->font(), label->font());
        // Beneath the label: earlier in the stacking order.
        QVERIFY(host.children().indexOf(twin) < host.children().indexOf(label));

        // The grey holds under a style sheet that colours every label.
        host.setStyleSheet(QStringLiteral("QLabel { color: black; }"));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(twin->palette().color(QPalette::WindowText), TextStyle::ShadowGrey);
    }

    void folderDialogShowsTheWholePrompt()
    {
        // Asked through the program's own prompter, the user sees both lines of the prompt and the installs
        // found in the side bar, and the folder chosen in the dialog is the answer.
        QTemporaryDir chosen;
        const QString install = chosen.path() + QStringLiteral("/Gravix 3190/");
        QStringList shownLines;
        QList<QUrl> sideBar;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            auto* folders = dialog ? dialog->findChild<QFileDialog*>() : nullptr;
            if (!folders) {
                if (dialog)
                    dialog->close();
                return;
            }
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->isVisible() && label->text().contains(QStringLiteral("Example:")))
                    shownLines = label->text().split(QLatin1Char('\n'));
            }
            sideBar = folders->sidebarUrls();
            folders->setDirectory(chosen.path());
            // The file dialog's own accept() is protected; the dialog's is the Choose button's slot.
            static_cast<QDialog*>(folders)->accept();
        });
        QVERIFY(QDir().mkpath(install));
        const QString answer = QtPrompter().chooseFolder(StartUp::folderPrompt(), {install});
        QCOMPARE(shownLines, StartUp::folderPrompt().split(QStringLiteral("\r\n")));
        QVERIFY(!sideBar.isEmpty());
        QCOMPARE(sideBar.last(), QUrl::fromLocalFile(QDir::cleanPath(install)));
        QCOMPARE(QDir(answer), QDir(chosen.path()));
    }

    void passwordPromptHidesWhatIsTyped()
    {
        // The box is looked at while it is shown, as the user sees it, and answered through its own line edit.
        QString shownPrompt;
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            QLineEdit* line = box ? box->findChild<QLineEdit*>() : nullptr;
            if (!line) {
                if (QApplication::activeModalWidget())
                    QApplication::activeModalWidget()->close();
                return;
            }
            shownPrompt = box->labelText();
            echo = line->echoMode();
            QTest::keyClicks(line, QStringLiteral("s3cret"));
            box->accept();
        });
        const std::optional<QString> answer = QtPrompter().askPassword(QStringLiteral("Please Enter The Password!"));
        QCOMPARE(shownPrompt, QStringLiteral("Please Enter The Password!"));
        QCOMPARE(echo, QLineEdit::Password);
        QCOMPARE(answer, std::optional<QString>(QStringLiteral("s3cret")));
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

    // The click sounds load from the program's own files; Windows plays them itself, without Qt's sound system.
    void clickSoundsLoad()
    {
        QtClickSounds sounds;
        sounds.PlayClickSound(ClickSound::Button);
        QVERIFY(sounds.load());
#ifdef Q_OS_WIN
        QVERIFY(!GetModuleHandleW(L"Qt6Multimedia.dll"));
#else
        // The sounds decode in the sound system's own thread; ending the program in the middle of that leaves
        // its buffers behind, which the leak check would count against the test.
        QTest::qWait(1000);
#endif
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
