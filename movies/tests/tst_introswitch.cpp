#include "movies/IntroSwitch.h"

#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

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
    void aFailedCopyKeepsTheMovieAndIsReported();
#ifdef Q_OS_LINUX
    void anUnreadableMovieLeavesNoPartialCopy();
#endif
    void findsMoviesInAnyLetterCase();
    void copiesLargeMoviesWhole();

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

void TestIntroSwitch::aFailedCopyKeepsTheMovieAndIsReported()
{
    const QString movies = makeMovies(MovieNames);
    // The switched-off name of Intro.bik is taken by a folder, which a file cannot replace.
    QVERIFY(QDir().mkpath(movies + QStringLiteral("/Intro.bik.OFF")));
    IntroSwitch intro;
    QVERIFY(intro.ReadIntroStatus(m_mod));
    RecordingPrompter prompter;
    prompter.questionAnswers = {true};
    QVERIFY(intro.toggle(m_mod, prompter));

    QCOMPARE(prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
    const QString report = prompter.texts().last();
    QVERIFY2(report.contains(QDir::toNativeSeparators(movies + QStringLiteral("/Intro.bik:"))), qPrintable(report));
    QCOMPARE(report.count(QStringLiteral(".bik:")), 1);
    // The movie is whole and still on, so the switch still reads on; the other four were moved.
    QCOMPARE(ReadBytes(movies + QStringLiteral("/Intro.bik")), movieBytes(QStringLiteral("Intro.bik")));
    QVERIFY(intro.IntroOn());
    const QMap<QString, QByteArray> after = folderContents(movies);
    QCOMPARE(after.keys(), (QStringList{QStringLiteral("Intro.bik"), QStringLiteral("Intro.bik.OFF"),
                                        QStringLiteral("KV.bik.OFF"), QStringLiteral("Legal.bik.OFF"),
                                        QStringLiteral("Legal_na.bik.OFF"), QStringLiteral("Tolmar.bik.OFF")}));
    QCOMPARE(after.value(QStringLiteral("Intro.bik.OFF")), QByteArray("<folder>"));
}

// Needs a file that opens but cannot be read, which only Linux offers to every user.
#ifdef Q_OS_LINUX
void TestIntroSwitch::anUnreadableMovieLeavesNoPartialCopy()
{
    const QString movies = makeMovies({QStringLiteral("Intro.bik"), QStringLiteral("KV.bik")});
    // Reading a process's memory from offset 0 fails, whoever the user is.
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), movies + QStringLiteral("/Tolmar.bik")));
    IntroSwitch intro;
    const QStringList failures = intro.RemoveIntro(m_mod);
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures.first().startsWith(QDir::toNativeSeparators(movies + QStringLiteral("/Tolmar.bik: "))),
             qPrintable(failures.first()));
    QCOMPARE(folderContents(movies).keys(), (QStringList{QStringLiteral("Intro.bik.OFF"), QStringLiteral("KV.bik.OFF"),
                                                         QStringLiteral("Tolmar.bik")}));
    QVERIFY(QFileInfo(movies + QStringLiteral("/Tolmar.bik")).isSymLink());
}
#endif

void TestIntroSwitch::findsMoviesInAnyLetterCase()
{
    const QString folder = m_mod + QStringLiteral("/movies");
    WriteBytes(folder + QStringLiteral("/INTRO.BIK"), "intro");
    WriteBytes(folder + QStringLiteral("/legal.bik.off"), "stale");
    WriteBytes(folder + QStringLiteral("/legal.bik"), "legal");
    IntroSwitch intro;
    QVERIFY(intro.ReadIntroStatus(m_mod));
    QVERIFY(intro.RemoveIntro(m_mod).isEmpty());
    // The existing switched-off file is the one replaced, in whatever case it was written.
    QCOMPARE(folderContents(folder), (QMap<QString, QByteArray>{{QStringLiteral("INTRO.BIK.OFF"), "intro"},
                                                                {QStringLiteral("legal.bik.off"), "legal"}}));
    QVERIFY(!intro.ReadIntroStatus(m_mod));
    QVERIFY(intro.RestoreIntro(m_mod).isEmpty());
    QCOMPARE(folderContents(folder), (QMap<QString, QByteArray>{{QStringLiteral("INTRO.BIK"), "intro"},
                                                                {QStringLiteral("legal.bik"), "legal"}}));
    QVERIFY(intro.ReadIntroStatus(m_mod));
}

void TestIntroSwitch::copiesLargeMoviesWhole()
{
    // Larger than the copy's block, and not a multiple of it.
    QByteArray big(9 * 1024 * 1024 + 77, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7 + i / 4099) & 0xff);
    const QString movies = makeMovies({});
    WriteBytes(movies + QStringLiteral("/Intro.bik"), big);
    IntroSwitch intro;
    QVERIFY(intro.RemoveIntro(m_mod).isEmpty());
    QCOMPARE(folderContents(movies).keys(), QStringList{QStringLiteral("Intro.bik.OFF")});
    QVERIFY(ReadBytes(movies + QStringLiteral("/Intro.bik.OFF")) == big);
}

QTEST_GUILESS_MAIN(TestIntroSwitch)
#include "tst_introswitch.moc"
