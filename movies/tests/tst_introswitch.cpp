#include "movies/IntroSwitch.h"

#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

namespace {

const QStringList MovieNames{QStringLiteral("Tolmar.bik"), QStringLiteral("KV.bik"), QStringLiteral("Intro.bik"),
                             QStringLiteral("Legal.bik"), QStringLiteral("Legal_na.bik")};

QByteArray movieBytes(const QString& name)
{
    return QByteArray("BIKi test movie ") + name.toLatin1() + QByteArray(1000, '\x33');
}

// Every file of the folder, by name, with its bytes.
QMap<QString, QByteArray> folderContents(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QFileInfo info(folder + QLatin1Char('/') + name);
        contents.insert(name, info.isDir() ? QByteArray("<folder>") : ReadBytes(info.filePath()));
    }
    return contents;
}

} // namespace

class TestIntroSwitch final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readsTheStateFromIntroOnly_data();
    void readsTheStateFromIntroOnly();
    void switchesOffAndOnAgain();
    void movesOnlyTheMoviesThatArePresent();
    void aFailedRenameKeepsTheMovieAndIsReported_data();
    void aFailedRenameKeepsTheMovieAndIsReported();
    void findsMoviesInAnyLetterCase();

private:
    QString makeMovies(const QStringList& names);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_mod;
};

void TestIntroSwitch::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_mod = m_dir->path() + QStringLiteral("/mymod");
    QVERIFY(QDir().mkpath(m_mod));
}

QString TestIntroSwitch::makeMovies(const QStringList& names)
{
    const QString folder = m_mod + QStringLiteral("/Movies");
    QDir().mkpath(folder);
    for (const QString& name : names)
        WriteBytes(folder + QLatin1Char('/') + name, movieBytes(name));
    return folder;
}

void TestIntroSwitch::readsTheStateFromIntroOnly_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("on");
    QTest::newRow("only Intro.bik") << QStringList{QStringLiteral("Intro.bik")} << true;
    QTest::newRow("all but Intro.bik") << QStringList{QStringLiteral("Tolmar.bik"), QStringLiteral("KV.bik"),
                                                      QStringLiteral("Legal.bik"), QStringLiteral("Legal_na.bik")}
                                       << false;
    QTest::newRow("switched off") << QStringList{QStringLiteral("Intro.bik.OFF")} << false;
    QTest::newRow("empty Movies folder") << QStringList{} << false;
}

void TestIntroSwitch::readsTheStateFromIntroOnly()
{
    QFETCH(QStringList, files);
    QFETCH(bool, on);
    makeMovies(files);
    IntroSwitch intro;
    QCOMPARE(intro.ReadIntroStatus(m_mod), on);
    QCOMPARE(intro.IntroOn(), on);

    // A folder named like the movie is not the movie.
    if (!on && !files.contains(QStringLiteral("Intro.bik"))) {
        QVERIFY(QDir().mkpath(m_mod + QStringLiteral("/Movies/Intro.bik")));
        QCOMPARE(intro.ReadIntroStatus(m_mod), false);
    }
}

void TestIntroSwitch::switchesOffAndOnAgain()
{
    DemoGameFolder game;
    const QString mod = game.mod(DemoGame::CompleteMod);
    const QString movies = mod + QStringLiteral("/Movies/");
    const QMap<QString, QByteArray> before = folderContents(movies);
    QCOMPARE(before.size(), 5);

    IntroSwitch intro;
    QVERIFY(intro.ReadIntroStatus(mod));
    RecordingPrompter prompter;
    QList<bool> busy;
    const auto busyPanel = [&busy](bool on) { busy.append(on); };
    // No: nothing is moved, and no busy spell either.
    QVERIFY(!intro.toggle(mod, prompter, busyPanel));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Remove Intro?")});
    QVERIFY(intro.IntroOn() && busy.isEmpty());
    QCOMPARE(folderContents(movies), before);

    prompter.clear();
    prompter.questionAnswers = {true};
    QVERIFY(intro.toggle(mod, prompter, busyPanel));
    QCOMPARE(prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("information")}));
    QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("Remove Intro?"), QStringLiteral("Intro removed.")}));
    QCOMPARE(busy, (QList<bool>{true, false}));
    QCOMPARE(intro.IntroOn(), false);
    const QMap<QString, QByteArray> off = folderContents(movies);
    QCOMPARE(off.size(), 5);
    for (const QString& name : MovieNames)
        QCOMPARE(off.value(name + QStringLiteral(".OFF")), before.value(name));

    prompter.clear();
    prompter.questionAnswers = {true};
    QVERIFY(intro.toggle(mod, prompter));
    QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("Restore Intro?"), QStringLiteral("Intro restored.")}));
    QCOMPARE(prompter.kinds().last(), QStringLiteral("information"));
    QCOMPARE(intro.IntroOn(), true);
    QCOMPARE(folderContents(movies), before);
}

void TestIntroSwitch::movesOnlyTheMoviesThatArePresent()
{
    // Intro.bik itself is missing, so the switch reads off and restoring moves only what is switched off. A mod
    // without a Movies folder has nothing to move, and the user is still told. Nothing failed, so the switch
    // then shows the answer, and the next click switches the movies off again.
    const QString movies = makeMovies({QStringLiteral("Tolmar.bik"), QStringLiteral("KV.bik.OFF"),
                                       QStringLiteral("Legal.bik"), QStringLiteral("Legal_na.bik.OFF")});
    const QStringList restored{QStringLiteral("KV.bik"), QStringLiteral("Legal.bik"), QStringLiteral("Legal_na.bik"),
                               QStringLiteral("Tolmar.bik")};
    const QString bare = m_dir->path() + QStringLiteral("/bare");
    QVERIFY(QDir().mkpath(bare));
    for (const QString& mod : {m_mod, bare}) {
        IntroSwitch intro;
        QVERIFY(!intro.ReadIntroStatus(mod));
        RecordingPrompter prompter;
        prompter.questionAnswers = {true, true};
        QVERIFY(intro.toggle(mod, prompter));
        QVERIFY(intro.IntroOn());
        if (mod == m_mod) {
            QCOMPARE(folderContents(movies).keys(), restored);
            QCOMPARE(ReadBytes(movies + QStringLiteral("/KV.bik")), movieBytes(QStringLiteral("KV.bik.OFF")));
        }
        QVERIFY(intro.toggle(mod, prompter));
        QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("Restore Intro?"), QStringLiteral("Intro restored."),
                                                QStringLiteral("Remove Intro?"), QStringLiteral("Intro removed.")}));
        QVERIFY(!intro.IntroOn());
    }
    QCOMPARE(folderContents(movies).keys(),
             (QStringList{QStringLiteral("KV.bik.OFF"), QStringLiteral("Legal.bik.OFF"),
                          QStringLiteral("Legal_na.bik.OFF"), QStringLiteral("Tolmar.bik.OFF")}));
    QCOMPARE(QDir(bare).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestIntroSwitch::aFailedRenameKeepsTheMovieAndIsReported_data()
{
    // The other name of one movie is taken by a folder, which a file cannot replace, in either direction.
    QStringList off;
    for (const QString& name : MovieNames)
        off.append(name + QStringLiteral(".OFF"));
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("blocked");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("switching off") << MovieNames << QStringLiteral("Intro.bik") << QStringLiteral("Intro.bik.OFF")
                                   << QStringList{QStringLiteral("Intro.bik"),        QStringLiteral("Intro.bik.OFF"),
                                                  QStringLiteral("KV.bik.OFF"),       QStringLiteral("Legal.bik.OFF"),
                                                  QStringLiteral("Legal_na.bik.OFF"), QStringLiteral("Tolmar.bik.OFF")};
    QTest::newRow("switching on") << off << QStringLiteral("Intro.bik.OFF") << QStringLiteral("Intro.bik")
                                  << QStringList{QStringLiteral("Intro.bik"),    QStringLiteral("Intro.bik.OFF"),
                                                 QStringLiteral("KV.bik"),       QStringLiteral("Legal.bik"),
                                                 QStringLiteral("Legal_na.bik"), QStringLiteral("Tolmar.bik")};
}

void TestIntroSwitch::aFailedRenameKeepsTheMovieAndIsReported()
{
    QFETCH(QStringList, files);
    QFETCH(QString, failing);
    QFETCH(QString, blocked);
    QFETCH(QStringList, after);
    const QString movies = makeMovies(files);
    QVERIFY(QDir().mkpath(movies + QLatin1Char('/') + blocked));
    IntroSwitch intro;
    const bool wasOn = intro.ReadIntroStatus(m_mod);
    RecordingPrompter prompter;
    prompter.questionAnswers = {true};
    QVERIFY(intro.toggle(m_mod, prompter));

    // Only the failing movie is named, with a reason; it is whole under its old name, so the state is unchanged.
    QCOMPARE(prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
    const QStringList report = prompter.texts().last().split(QStringLiteral("\r\n"));
    QCOMPARE(report.size(), 2);
    const QString named = QDir::toNativeSeparators(movies + QLatin1Char('/') + failing) + QStringLiteral(": ");
    QVERIFY2(report.last().startsWith(named) && report.last().size() > named.size(), qPrintable(report.last()));
    QCOMPARE(ReadBytes(movies + QLatin1Char('/') + failing), movieBytes(failing));
    QCOMPARE(intro.IntroOn(), wasOn);
    QCOMPARE(folderContents(movies).keys(), after);
}

void TestIntroSwitch::findsMoviesInAnyLetterCase()
{
    const QString folder = m_mod + QStringLiteral("/movies");
    WriteBytes(folder + QStringLiteral("/INTRO.BIK"), "intro");
    WriteBytes(folder + QStringLiteral("/legal.bik.off"), "stale");
    WriteBytes(folder + QStringLiteral("/legal.bik"), "legal");
    // Both names of one file already, which must keep one of them: hard links, and a link to the other name.
    WriteBytes(folder + QStringLiteral("/kv.bik"), "kv");
    std::filesystem::create_hard_link(QFileInfo(folder + QStringLiteral("/kv.bik")).filesystemFilePath(),
                                      QFileInfo(folder + QStringLiteral("/kv.bik.off")).filesystemFilePath());
    WriteBytes(folder + QStringLiteral("/tolmar.bik.off"), "tolmar");
#ifdef Q_OS_UNIX
    QVERIFY(QFile::link(folder + QStringLiteral("/tolmar.bik.off"), folder + QStringLiteral("/tolmar.bik")));
#endif
    IntroSwitch intro;
    QVERIFY(intro.ReadIntroStatus(m_mod));
    QVERIFY(intro.RemoveIntro(m_mod).isEmpty());
    // The existing switched-off file is the one replaced, in whatever case it was written.
    QCOMPARE(folderContents(folder), (QMap<QString, QByteArray>{{QStringLiteral("INTRO.BIK.OFF"), "intro"},
                                                                {QStringLiteral("kv.bik.off"), "kv"},
                                                                {QStringLiteral("legal.bik.off"), "legal"},
                                                                {QStringLiteral("tolmar.bik.off"), "tolmar"}}));
    QVERIFY(!intro.ReadIntroStatus(m_mod));
    QVERIFY(intro.RestoreIntro(m_mod).isEmpty());
    QCOMPARE(folderContents(folder), (QMap<QString, QByteArray>{{QStringLiteral("INTRO.BIK"), "intro"},
                                                                {QStringLiteral("kv.bik"), "kv"},
                                                                {QStringLiteral("legal.bik"), "legal"},
                                                                {QStringLiteral("tolmar.bik"), "tolmar"}}));
    QVERIFY(intro.ReadIntroStatus(m_mod));
}

QTEST_GUILESS_MAIN(TestIntroSwitch)
#include "tst_introswitch.moc"
