#include "movies/IntroSwitch.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

using namespace TestSupport;

class TestIntroSwitch final : public QObject
{
    Q_OBJECT

private slots:
    // One click on the switch, answered, in a mod's movies folder. In files, each movie holds its own name; a
    // name ending in '/' is a folder, "a=b" a second name of the file b, and "a->b" a link to b. In after,
    // each entry with what it holds. The last box is a notice ending in '.', or names the one movie that
    // could not be switched and kept its name, after which the state is read from the files again. The switch
    // tells, movie by movie in the order of IntroMovies, whether it moved (M), skipped (S) or failed (F).
    void toggle_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("outcomes");
        const QStringList movies = texts({"Tolmar.bik", "KV.bik", "Intro.bik", "Legal.bik", "Legal_na.bik"});
        QStringList off, switchedOff, switchedOn, unchanged;
        for (const QString& name : movies) {
            off.append(name + QStringLiteral(".OFF"));
            switchedOff.append(off.last() + QLatin1Char(' ') + name);
            switchedOn.append(name + QLatin1Char(' ') + off.last());
            unchanged.append(name + QLatin1Char(' ') + name);
        }
        const auto row = [](const char* name, const char* folder, const QStringList& files, bool yes, bool on,
                            const QStringList& after, const char* box, const char* outcomes) {
            QTest::newRow(name) << QString::fromLatin1(folder) << files << yes << on << after
                                << QString::fromLatin1(box) << QString::fromLatin1(outcomes);
        };
        row("switched off", "Movies", movies, true, true, switchedOff, "Intro removed.", "MMMMM");
        row("answered No", "Movies", movies, false, true, unchanged, "", "");
        row("switched on", "Movies", off, true, false, switchedOn, "Intro restored.", "MMMMM");
        // Intro.bik itself is missing (a folder of its name is not the movie), so the switch reads off; the answer
        // is the new state all the same.
        row("some switched off", "Movies",
            texts({"KV.bik.OFF", "Legal.bik", "Legal_na.bik.OFF", "Tolmar.bik", "Intro.bik/"}), true, false,
            texts({"KV.bik KV.bik.OFF", "Legal.bik Legal.bik", "Legal_na.bik Legal_na.bik.OFF", "Tolmar.bik Tolmar.bik",
                   "Intro.bik <folder>"}),
            "Intro restored.", "SMSSM");
        row("no movies", "Movies", {}, true, false, {}, "Intro restored.", "SSSSS");
        // A folder takes the other name of Intro.bik, which a file cannot replace.
        QStringList blocked = switchedOff;
        blocked.replace(2, QStringLiteral("Intro.bik Intro.bik"));
        row("blocked off", "Movies", movies + texts({"Intro.bik.OFF/"}), true, true,
            blocked + texts({"Intro.bik.OFF <folder>"}), "Intro.bik", "MMFMM");
        // Any letter case is found, and the other name already there is the one replaced, in its own case; of
        // two names of one file (hard links, or a link to the other name) one is kept. Qt's link on Windows is a
        // shortcut, a file of its own (SHORTCUT stands for its bytes): it is a movie's name like any other.
#ifdef Q_OS_WIN
        const char* const linked = "tolmar.bik.off SHORTCUT";
#else
        const char* const linked = "tolmar.bik.off tolmar.bik.off";
#endif
        row("letter case and links", "movies",
            texts({"INTRO.BIK", "legal.bik.off", "legal.bik", "kv.bik", "kv.bik.off=kv.bik", "tolmar.bik.off",
                   "tolmar.bik->tolmar.bik.off"}),
            true, true, texts({"INTRO.BIK.OFF INTRO.BIK", "kv.bik.off kv.bik", "legal.bik.off legal.bik", linked}),
            "Intro removed.", "MMMMS");
    }

    void toggle()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, files);
        QFETCH(bool, yes);
        QFETCH(bool, on);
        QFETCH(QStringList, after);
        QFETCH(QString, box);
        QFETCH(QString, outcomes);
        QTemporaryDir mod;
        const QString movies = mod.filePath(folder) + QLatin1Char('/');
        QVERIFY(files.isEmpty() || QDir().mkpath(movies)); // no movies, no folder
        for (const QString& file : files) {
            namespace fs = std::filesystem;
            const QString name = file.section(QLatin1Char('='), 0, 0).section(QStringLiteral("->"), 0, 0);
            if (file.endsWith(QLatin1Char('/')))
                QVERIFY(QDir().mkpath(movies + file));
            else if (file.contains(QStringLiteral("->"))) {
                QVERIFY(QFile::link(file.section(QStringLiteral("->"), 1), movies + name));
                after.replaceInStrings(QStringLiteral("SHORTCUT"), QString::fromLatin1(readBytes(movies + name)));
            } else if (file.contains(QLatin1Char('=')))
                fs::create_hard_link(QFileInfo(movies + file.section(QLatin1Char('='), 1)).filesystemFilePath(),
                                     QFileInfo(movies + name).filesystemFilePath());
            else
                writeBytes(movies + name, name.toLatin1());
        }
        IntroSwitch intro;
        QCOMPARE(intro.ReadIntroStatus(mod.path()), on);
        RecordingPrompter prompter;
        prompter.questionAnswers = {yes};
        QList<bool> busy;
        // Nothing to do is exactly a switch that would skip every movie.
        QCOMPARE(IntroSwitch::wouldSwitch(mod.path(), !on), outcomes != QStringLiteral("SSSSS"));
        const auto result = intro.toggle(mod.path(), prompter, [&busy](bool shown) { busy.append(shown); });
        QCOMPARE(result.has_value(), yes);
        QString told;
        for (const IntroSwitch::Outcome outcome : result ? result->movies : QList<IntroSwitch::Outcome>())
            told += QLatin1Char("MSF"[int(outcome)]);
        QCOMPARE(told, outcomes);

        QStringList found;
        const QMap<QString, QByteArray> contents = folderContents(movies);
        for (auto entry = contents.cbegin(); entry != contents.cend(); ++entry)
            found.append(entry.key() + QLatin1Char(' ') + QString::fromLatin1(entry.value()));
        after.sort();
        QCOMPARE(found, after);
        QCOMPARE(prompter.texts().first(), on ? QStringLiteral("Remove Intro?") : QStringLiteral("Restore Intro?"));
        if (!yes) {
            QCOMPARE(prompter.boxes.size(), 1);
            QVERIFY(busy.isEmpty() && intro.IntroOn() == on);
            return;
        }
        QCOMPARE(busy, (QList<bool>{true, false}));
        QCOMPARE(prompter.boxes.size(), 2);
        if (box.endsWith(QLatin1Char('.'))) {
            QCOMPARE(prompter.boxes.last().kind, QStringLiteral("information"));
            QCOMPARE(prompter.texts().last(), box);
            QCOMPARE(intro.IntroOn(), !on);
        } else {
            QCOMPARE(prompter.boxes.last().kind, QStringLiteral("critical"));
            const QStringList report = prompter.texts().last().split(QStringLiteral("\r\n"));
            const QString named = QDir::toNativeSeparators(movies + box) + QStringLiteral(": ");
            QVERIFY2(report.size() == 2 && report.last().startsWith(named) && report.last().size() > named.size(),
                     qPrintable(report.join(QLatin1Char('|'))));
            QCOMPARE(intro.IntroOn(), on);
        }
    }
};

QTEST_GUILESS_MAIN(TestIntroSwitch)
#include "tst_introswitch.moc"
