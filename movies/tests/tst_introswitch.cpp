#include "movies/IntroSwitch.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

namespace {

const QStringList MovieNames{QStringLiteral("Tolmar.bik"), QStringLiteral("KV.bik"), QStringLiteral("Intro.bik"),
                             QStringLiteral("Legal.bik"), QStringLiteral("Legal_na.bik")};

// Each movie's name, with ".OFF" and with what it holds after a switch: "Intro.bik.OFF Intro.bik".
QStringList renamed(const QStringList& names, const QString& suffix, bool off)
{
    QStringList entries;
    for (const QString& name : names)
        entries.append(off ? name + suffix + QLatin1Char(' ') + name : name + QLatin1Char(' ') + name + suffix);
    return entries;
}

} // namespace

class TestIntroSwitch final : public QObject
{
    Q_OBJECT

private slots:
    // One click on the switch, answered, in a mod's movies folder. In files, each movie holds its own name; a
    // name ending in '/' is a folder, "a=b" a second name of the file b, and "a->b" a link to b. In after,
    // each entry with what it holds. The last box is a notice ending in '.', or names the one movie that
    // could not be switched and kept its name, after which the state is read from the files again.
    void toggle_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("on");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("box");
        QStringList off = renamed(MovieNames, QStringLiteral(".OFF"), true);
        for (QString& entry : off)
            entry = entry.section(QLatin1Char(' '), 0, 0);
        const QString movies = QStringLiteral("Movies");
        QTest::newRow("switched off") << movies << MovieNames << true << true
                                      << renamed(MovieNames, QStringLiteral(".OFF"), true)
                                      << QStringLiteral("Intro removed.");
        QTest::newRow("answered No") << movies << MovieNames << false << true << renamed(MovieNames, {}, true)
                                     << QString();
        QTest::newRow("switched on") << movies << off << true << false
                                     << renamed(MovieNames, QStringLiteral(".OFF"), false)
                                     << QStringLiteral("Intro restored.");
        // Intro.bik itself is missing (a folder of its name is not the movie), so the switch reads off; the answer
        // is the new state all the same.
        const QStringList some{QStringLiteral("KV.bik.OFF"), QStringLiteral("Legal.bik"),
                               QStringLiteral("Legal_na.bik.OFF"), QStringLiteral("Tolmar.bik"),
                               QStringLiteral("Intro.bik/")};
        QTest::newRow("some switched off")
            << movies << some << true << false
            << QStringList{QStringLiteral("KV.bik KV.bik.OFF"), QStringLiteral("Legal.bik Legal.bik"),
                           QStringLiteral("Legal_na.bik Legal_na.bik.OFF"), QStringLiteral("Tolmar.bik Tolmar.bik"),
                           QStringLiteral("Intro.bik <folder>")}
            << QStringLiteral("Intro restored.");
        QTest::newRow("no movies") << movies << QStringList() << true << false << QStringList()
                                   << QStringLiteral("Intro restored.");
        // A folder takes the other name of Intro.bik, which a file cannot replace.
        QStringList blockedOff = renamed(MovieNames, QStringLiteral(".OFF"), true);
        blockedOff.replace(2, QStringLiteral("Intro.bik Intro.bik"));
        QTest::newRow("blocked off") << movies << MovieNames + QStringList{QStringLiteral("Intro.bik.OFF/")} << true
                                     << true << blockedOff + QStringList{QStringLiteral("Intro.bik.OFF <folder>")}
                                     << QStringLiteral("Intro.bik");
        // Any letter case is found, and the other name already there is the one replaced, in its own case; of
        // two names of one file (hard links, or a link to the other name) one is kept.
        QTest::newRow("letter case and links")
            << QStringLiteral("movies")
            << QStringList{QStringLiteral("INTRO.BIK"),
                           QStringLiteral("legal.bik.off"),
                           QStringLiteral("legal.bik"),
                           QStringLiteral("kv.bik"),
                           QStringLiteral("kv.bik.off=kv.bik"),
                           QStringLiteral("tolmar.bik.off"),
                           QStringLiteral("tolmar.bik->tolmar.bik.off")}
            << true << true
            << QStringList{QStringLiteral("INTRO.BIK.OFF INTRO.BIK"), QStringLiteral("kv.bik.off kv.bik"),
                           QStringLiteral("legal.bik.off legal.bik"), QStringLiteral("tolmar.bik.off tolmar.bik.off")}
            << QStringLiteral("Intro removed.");
    }

    void toggle()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, files);
        QFETCH(bool, yes);
        QFETCH(bool, on);
        QFETCH(QStringList, after);
        QFETCH(QString, box);
        QTemporaryDir mod;
        const QString movies = mod.filePath(folder) + QLatin1Char('/');
        QVERIFY(files.isEmpty() || QDir().mkpath(movies)); // no movies, no folder
        for (const QString& file : files) {
            namespace fs = std::filesystem;
            const QString name = file.section(QLatin1Char('='), 0, 0).section(QStringLiteral("->"), 0, 0);
            if (file.endsWith(QLatin1Char('/')))
                QVERIFY(QDir().mkpath(movies + file));
            else if (file.contains(QStringLiteral("->")))
                QVERIFY(QFile::link(file.section(QStringLiteral("->"), 1), movies + name));
            else if (file.contains(QLatin1Char('=')))
                fs::create_hard_link(QFileInfo(movies + file.section(QLatin1Char('='), 1)).filesystemFilePath(),
                                     QFileInfo(movies + name).filesystemFilePath());
            else
                WriteBytes(movies + name, name.toLatin1());
        }
        IntroSwitch intro;
        QCOMPARE(intro.ReadIntroStatus(mod.path()), on);
        RecordingPrompter prompter;
        prompter.questionAnswers = {yes};
        QList<bool> busy;
        QCOMPARE(intro.toggle(mod.path(), prompter, [&busy](bool shown) { busy.append(shown); }), yes);

        QStringList found;
        const QMap<QString, QByteArray> contents = FolderContents(movies);
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
