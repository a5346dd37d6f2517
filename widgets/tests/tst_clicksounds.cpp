// A program of its own: whether the sound system is loaded is a fact of the process, which any test before
// this one that played a sound would have changed.
#include "widgets/QtClickSounds.h"

#include <QFile>
#include <QTest>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

class TestClickSounds final : public QObject
{
    Q_OBJECT

private slots:
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
        // The sounds decode in the sound system's own thread; ending the program in the middle of that leaves
        // its buffers behind, which the leak check would count against the test.
        QTest::qWait(1000);
#endif
    }
};

QTEST_MAIN(TestClickSounds)
#include "tst_clicksounds.moc"
