#include "shell/Artwork.h"
#include "shell/CheckPicture.h"
#include "shell/ImageButton.h"
#include "shell/SkinnedWindow.h"
#include "shell/TextStyle.h"

#include "tests/support/TestSupport.h"

#include <QAccessible>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records sounds and clicks in one sequence, so that a test sees their order.
struct EventLog final : public ClickSoundPlayer
{
    QStringList events;
    void PlayClickSound(int kind) override { events.append(QStringLiteral("sound%1").arg(kind)); }
};

class TestWindow final : public SkinnedWindow
{
public:
    TestWindow() : SkinnedWindow(QSize(200, 150), Frame::WhiteLines) {}
    int closeRequests = 0;

protected:
    void closeRequested() override { ++closeRequests; }
};

QImage Shown(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage Flat(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

double MeanLuminance(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

} // namespace

class TestWidgets final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TextStyle::Install(); }

    void imageButtonLeftClick()
    {
        QWidget host;
        auto* button = new ImageButton(&host);
        button->setGeometry(10, 10, 91, 18);
        button->setWord(QStringLiteral("SAVE"));
        EventLog log;
        button->setSounds(&log);
        connect(button, &ImageButton::clicked, &host, [&log] { log.events.append(QStringLiteral("clicked")); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(Shown(*button), Flat(button->normalImage()));

        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 9));
        QVERIFY(button->isDown());
        QCOMPARE(Shown(*button), Flat(button->pressedImage()));
        QVERIFY(log.events.isEmpty());

        // The release arrives at the pressed button even when the pointer has left it.
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(150, 40));
        QVERIFY(!button->isDown());
        QCOMPARE(Shown(*button), Flat(button->normalImage()));
        QCOMPARE(log.events, QStringList({QStringLiteral("sound1"), QStringLiteral("clicked")}));
        QVERIFY(Flat(button->normalImage()) != Flat(button->pressedImage()));
    }

    void imageButtonIgnoresOtherButtons_data()
    {
        QTest::addColumn<Qt::MouseButton>("mouseButton");
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }

    void imageButtonIgnoresOtherButtons()
    {
        QFETCH(Qt::MouseButton, mouseButton);
        QWidget host;
        auto* button = new ImageButton(&host);
        button->setGeometry(0, 0, 121, 18);
        button->setWord(QStringLiteral("EDIT"));
        RecordingSounds sounds;
        button->setSounds(&sounds);
        QSignalSpy clicks(button, &ImageButton::clicked);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        QTest::mousePress(button, mouseButton, {}, QPoint(20, 9));
        QVERIFY(!button->isDown());
        QCOMPARE(Shown(*button), Flat(button->normalImage()));
        QTest::mouseRelease(button, mouseButton, {}, QPoint(20, 9));
        QTest::mouseClick(button, mouseButton, {}, QPoint(20, 9));
        QVERIFY(!button->isDown());
        QVERIFY(sounds.played.isEmpty());
        QCOMPARE(clicks.count(), 0);
    }

    void imageButtonQuickClicksOnTwoButtons()
    {
        QWidget host;
        auto* save = new ImageButton(&host);
        save->setGeometry(0, 0, 91, 18);
        save->setWord(QStringLiteral("SAVE"));
        auto* cancel = new ImageButton(&host);
        cancel->setGeometry(100, 0, 91, 18);
        cancel->setWord(QStringLiteral("CANCEL"));
        EventLog log;
        save->setSounds(&log);
        cancel->setSounds(&log);
        connect(save, &ImageButton::clicked, &host, [&log] { log.events.append(QStringLiteral("save")); });
        connect(cancel, &ImageButton::clicked, &host, [&log] { log.events.append(QStringLiteral("cancel")); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));

        QTest::mouseClick(save, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(cancel, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(log.events, QStringList({QStringLiteral("sound1"), QStringLiteral("save"), QStringLiteral("sound1"),
                                          QStringLiteral("cancel")}));
    }

    void imageButtonKeys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("space") << Qt::Key_Space;
        QTest::newRow("return") << Qt::Key_Return;
        QTest::newRow("enter") << Qt::Key_Enter;
    }

    void imageButtonKeys()
    {
        QFETCH(Qt::Key, key);
        QWidget host;
        auto* first = new ImageButton(&host);
        first->setGeometry(0, 0, 91, 18);
        first->setWord(QStringLiteral("ACCEPT"));
        auto* second = new ImageButton(&host);
        second->setGeometry(100, 0, 91, 18);
        second->setWord(QStringLiteral("CANCEL"));
        EventLog log;
        second->setSounds(&log);
        connect(second, &ImageButton::clicked, &host, [&log] { log.events.append(QStringLiteral("clicked")); });
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        host.activateWindow();
        first->setFocus(Qt::OtherFocusReason);
        QVERIFY(first->hasFocus());
        QTest::keyClick(&host, Qt::Key_Tab);
        QVERIFY(second->hasFocus());

        QTest::keyPress(second, key);
        QVERIFY(second->isDown());
        QVERIFY(log.events.isEmpty());
        QTest::keyRelease(second, key);
        QVERIFY(!second->isDown());
        QCOMPARE(log.events, QStringList({QStringLiteral("sound1"), QStringLiteral("clicked")}));

        // Other keys do nothing.
        QTest::keyClick(second, Qt::Key_A);
        QCOMPARE(log.events.size(), 2);
    }

    void imageButtonNamesAndFaces()
    {
        ImageButton button;
        button.resize(91, 18);
        button.setWord(QStringLiteral("SAVE"));
        QCOMPARE(button.accessibleName(), QStringLiteral("Save"));
        QCOMPARE(button.focusPolicy(), Qt::StrongFocus);
        QCOMPARE(button.normalImage().deviceIndependentSize(), QSizeF(91, 18));

        // A new size draws the face anew at that size.
        button.resize(121, 18);
        QCOMPARE(button.normalImage().deviceIndependentSize(), QSizeF(121, 18));
        QCOMPARE(button.pressedImage().deviceIndependentSize(), QSizeF(121, 18));
        QVERIFY(MeanLuminance(Flat(button.pressedImage())) + 60 < MeanLuminance(Flat(button.normalImage())));

        // Given images win over the drawn face, and the face shows them.
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

        QTest::mouseClick(check, Qt::RightButton, {}, QPoint(8, 8));
        QCOMPARE(clicks.count(), 1);
        QTest::mousePress(check, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::mouseRelease(check, Qt::LeftButton, {}, QPoint(40, 40));
        QCOMPARE(clicks.count(), 1);

        check->setFocus(Qt::TabFocusReason);
        QTest::keyClick(check, Qt::Key_Space);
        QTest::keyClick(check, Qt::Key_Return);
        QCOMPARE(clicks.count(), 3);

        check->setOn(true);
        QCOMPARE(Shown(*check), Flat(Artwork::CheckOn(check->devicePixelRatioF())));
        check->setOn(false);
        check->clearFocus();
        QCOMPARE(Shown(*check), Flat(Artwork::CheckOff(check->devicePixelRatioF())));

        check->setEnabled(false);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, 8));
        QTest::keyClick(check, Qt::Key_Space);
        QCOMPARE(clicks.count(), 3);
    }

    void skinnedWindowFrameAndClose()
    {
        TestWindow window;
        QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(window.minimumSize(), QSize(200, 150));
        QCOMPARE(window.maximumSize(), QSize(200, 150));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(window.geometry().center().x() - available.center().x()) <= 1);
        QVERIFY(qAbs(window.geometry().center().y() - available.center().y()) <= 1);

        // The white frame lines along the client edges.
        const QImage shown = Shown(window);
        for (const QPoint p : {QPoint(0, 0), QPoint(100, 0), QPoint(199, 75), QPoint(100, 149), QPoint(0, 75)})
            QCOMPARE(QColor(shown.pixel(p)), QColor(Qt::white));
        QVERIFY(qGray(shown.pixel(100, 75)) < 100);

        // Closing through the window system only asks the window what to do.
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(window.closeRequests, 1);

        // Shown again after being moved, it stays where the user put it.
        window.move(available.topLeft() + QPoint(5, 7));
        window.hide();
        window.show();
        QCOMPARE(window.pos(), available.topLeft() + QPoint(5, 7));
    }

    void skinnedWindowDrag()
    {
        TestWindow window;
        window.setMovableByBackground(true);
        auto* label = new QLabel(QStringLiteral("Caption"), &window);
        label->setGeometry(100, 100, 80, 17);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QPoint start = window.pos();
        const QPoint grabbed(20, 30);
        const QPoint grabbedGlobal = window.mapToGlobal(grabbed);
        QTest::mousePress(&window, Qt::LeftButton, {}, grabbed);
        // Pointer positions are given within the window as it stands before each move.
        QTest::mouseMove(&window, grabbed + QPoint(15, -6));
        QCOMPARE(window.pos(), start + QPoint(15, -6));
        QCOMPARE(window.mapToGlobal(grabbed), grabbedGlobal + QPoint(15, -6));
        QTest::mouseMove(&window, grabbed + QPoint(-40, 25));
        QCOMPARE(window.pos(), start + QPoint(-25, 19));
        QCOMPARE(window.mapToGlobal(grabbed), grabbedGlobal + QPoint(-25, 19));
        QTest::mouseRelease(&window, Qt::LeftButton, {}, grabbed);
        // Without the button the pointer moves alone.
        QTest::mouseMove(&window, grabbed + QPoint(30, 30));
        QCOMPARE(window.pos(), start + QPoint(-25, 19));

        const QPoint before = window.pos();
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(10, 8));
        QTest::mouseMove(label, QPoint(60, 40));
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(60, 40));
        QCOMPARE(window.pos(), before);

        QTest::mousePress(&window, Qt::RightButton, {}, grabbed);
        QTest::mouseMove(&window, grabbed + QPoint(30, 30));
        QTest::mouseRelease(&window, Qt::RightButton, {}, grabbed + QPoint(30, 30));
        QCOMPARE(window.pos(), before);

        window.setMovableByBackground(false);
        QTest::mousePress(&window, Qt::LeftButton, {}, grabbed);
        QTest::mouseMove(&window, grabbed + QPoint(30, 30));
        QTest::mouseRelease(&window, Qt::LeftButton, {}, grabbed + QPoint(30, 30));
        QCOMPARE(window.pos(), before);
    }

    void shadowTwinFollowsCaption()
    {
        QWidget host;
        auto* label = new QLabel(QStringLiteral("0"), &host);
        label->setObjectName(QStringLiteral("LabelSFD"));
        label->setGeometry(176, 104, 33, 17);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFont(TextStyle::Font(9));
        QLabel* twin = TextStyle::AddShadow(label, QStringLiteral("LabelSFD2"));
        QCOMPARE(host.findChild<QLabel*>(QStringLiteral("LabelSFD2")), twin);
        QCOMPARE(twin->geometry(), QRect(175, 105, 33, 17));
        QCOMPARE(twin->alignment(), label->alignment());
        QCOMPARE(twin->font(), label->font());
        QCOMPARE(twin->text(), QStringLiteral("0"));
        // Beneath the label: earlier in the stacking order.
        QVERIFY(host.children().indexOf(twin) < host.children().indexOf(label));
        // A second call gives the same twin, not another.
        QCOMPARE(TextStyle::AddShadow(label), twin);

        TextStyle::SetCaption(label, QStringLiteral("55"));
        QCOMPARE(label->text(), QStringLiteral("55"));
        QCOMPARE(twin->text(), QStringLiteral("55"));

        host.resize(260, 140);
        host.setStyleSheet(QStringLiteral("QLabel { color: black; }"));
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QCOMPARE(twin->palette().color(QPalette::WindowText), TextStyle::ShadowGrey);

        // A label without a twin just takes the caption.
        QLabel plain;
        TextStyle::SetCaption(&plain, QStringLiteral("x"));
        QCOMPARE(plain.text(), QStringLiteral("x"));
        QVERIFY(QFont::substitutes(QStringLiteral("Palatino Linotype"))
                    .contains(QStringLiteral("P052"), Qt::CaseInsensitive));
    }

    void artworkSizes_data()
    {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("100%") << 1.0;
        QTest::newRow("200%") << 2.0;
    }

    void artworkSizes()
    {
        QFETCH(qreal, dpr);
        const QList<QPair<QPixmap, QSize>> pictures = {
            {Artwork::MainBackground(dpr), QSize(449, 360)},
            {Artwork::DialogBackground(QSize(201, 177), dpr), QSize(201, 177)},
            {Artwork::ButtonFace(QSize(91, 18), QStringLiteral("SAVE"), false, dpr), QSize(91, 18)},
            {Artwork::ButtonFace(QSize(91, 18), QStringLiteral("SAVE"), true, dpr), QSize(91, 18)},
            {Artwork::ExitFace(false, dpr), QSize(18, 18)},
            {Artwork::ExitFace(true, dpr), QSize(18, 18)},
            {Artwork::MinimiseFace(false, dpr), QSize(18, 18)},
            {Artwork::MinimiseFace(true, dpr), QSize(18, 18)},
            {Artwork::CheckOn(dpr), QSize(16, 16)},
            {Artwork::CheckOff(dpr), QSize(16, 16)},
            {Artwork::SliderTrack(dpr), QSize(181, 19)},
            {Artwork::SliderKnob(dpr), QSize(22, 15)},
        };
        for (const auto& [pixmap, logical] : pictures) {
            QVERIFY(!pixmap.isNull());
            QCOMPARE(pixmap.devicePixelRatio(), dpr);
            QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(logical));
            QCOMPARE(pixmap.size(), logical * dpr);
        }

        // Black labels sit on light plates; the banner and the surround are dark.
        const QImage main = Artwork::MainBackground(dpr).toImage();
        auto at = [&](int x, int y) { return qGray(main.pixel(qRound(x * dpr), qRound(y * dpr))); };
        for (const QPoint p : {QPoint(40, 110), QPoint(40, 205), QPoint(60, 318), QPoint(300, 110), QPoint(300, 318)})
            QVERIFY2(at(p.x(), p.y()) > 150, qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
        QVERIFY(at(245, 200) < 90);
        QVERIFY(at(420, 40) < 110);

        const QImage on = Artwork::CheckOn(dpr).toImage();
        const QImage off = Artwork::CheckOff(dpr).toImage();
        const QColor lit = on.pixelColor(on.width() / 2, on.height() / 2);
        QVERIFY(lit.green() > 150 && lit.green() > lit.red() && lit.green() > lit.blue());
        QVERIFY(qGray(off.pixel(off.width() / 2, off.height() / 2)) < 70);
    }

    void applicationIconSizes()
    {
        const QIcon icon = Artwork::ApplicationIcon();
        QVERIFY(!icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        QVERIFY(sizes.contains(QSize(16, 16)));
        QVERIFY(sizes.contains(QSize(256, 256)));
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
