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

QByteArray movieBytes(const QString& name)
{
    return QByteArray("BIKi test movie ") + name.toLatin1() + QByteArray(1000, '\x33');
}

} // namespace

class TestIntroSwitch final : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_mod;

    QString makeMovies(const QStringList& names)
    {
        const QString folder = m_mod + QStringLiteral("/Movies");
        QDir().mkpath(folder);
        for (const QString& name : names) {
            if (name.endsWith(QLatin1Char('/')))
                QDir().mkpath(folder + QLatin1Char('/') + name);
            else
                WriteBytes(folder + QLatin1Char('/') + name, movieBytes(name));
        }
        return folder;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_mod = m_dir->path() + QStringLiteral("/mymod");
        QVERIFY(QDir().mkpath(m_mod));
    }

    void readsTheStateFromIntroOnly_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("on");
        QTest::newRow("only Intro.bik") << QStringList{QStringLiteral("Intro.bik")} << true;
        QStringList others = MovieNames;
        others.removeOne(QStringLiteral("Intro.bik"));
        QTest::newRow("all but Intro.bik") << others << false;
        QTest::newRow("switched off") << QStringList{QStringLiteral("Intro.bik.OFF")} << false;
        QTest::newRow("a folder of that name") << QStringList{QStringLiteral("Intro.bik/")} << false;
        QTest::newRow("empty Movies folder") << QStringList{} << false;
    }

    void readsTheStateFromIntroOnly()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, on);
        makeMovies(files);
        IntroSwitch intro;
        QCOMPARE(intro.ReadIntroStatus(m_mod), on);
        QCOMPARE(intro.IntroOn(), on);
    }

    void switchesOffAndOnAgain()
    {
        const QString movies = makeMovies(MovieNames);
        const QMap<QString, QByteArray> on = FolderContents(movies);
        QMap<QString, QByteArray> off;
        for (auto movie = on.cbegin(); movie != on.cend(); ++movie)
            off.insert(movie.key() + QStringLiteral(".OFF"), movie.value());
        IntroSwitch intro;
        QVERIFY(intro.ReadIntroStatus(m_mod));
        RecordingPrompter prompter;
        QList<bool> busy;
        const auto busyPanel = [&busy](bool shown) { busy.append(shown); };
        // No: nothing is moved, and no busy spell either. Then Yes, twice.
        QVERIFY(!intro.toggle(m_mod, prompter, busyPanel));
        QVERIFY(intro.IntroOn() && busy.isEmpty());
        QCOMPARE(FolderContents(movies), on);
        prompter.questionAnswers = {true, true};
        QVERIFY(intro.toggle(m_mod, prompter, busyPanel));
        QVERIFY(!intro.IntroOn());
        QCOMPARE(busy, (QList<bool>{true, false}));
        QCOMPARE(FolderContents(movies), off);
        QVERIFY(intro.toggle(m_mod, prompter));
        QVERIFY(intro.IntroOn());
        QCOMPARE(FolderContents(movies), on);
        QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("Remove Intro?"), QStringLiteral("Remove Intro?"),
                                                QStringLiteral("Intro removed."), QStringLiteral("Restore Intro?"),
                                                QStringLiteral("Intro restored.")}));
        QCOMPARE(prompter.kinds().filter(QStringLiteral("information")).size(), 2);
    }

    void movesOnlyTheMoviesThatArePresent()
    {
        // Intro.bik itself is missing, so the switch reads off; a mod without a Movies folder has nothing to move.
        // Nothing fails, so the switch takes the answer as its state, and the next click switches off again.
        const QStringList names{QStringLiteral("KV.bik.OFF"), QStringLiteral("Legal.bik"),
                                QStringLiteral("Legal_na.bik.OFF"), QStringLiteral("Tolmar.bik")};
        const QString movies = makeMovies(names);
        const QString bare = m_dir->path() + QStringLiteral("/bare");
        QVERIFY(QDir().mkpath(bare));
        for (const QString& mod : {m_mod, bare}) {
            IntroSwitch intro;
            QVERIFY(!intro.ReadIntroStatus(mod));
            RecordingPrompter prompter;
            prompter.questionAnswers = {true, true};
            QVERIFY(intro.toggle(mod, prompter));
            QVERIFY(intro.IntroOn());
            QVERIFY(intro.toggle(mod, prompter));
            QVERIFY(!intro.IntroOn());
            QCOMPARE(prompter.texts(),
                     (QStringList{QStringLiteral("Restore Intro?"), QStringLiteral("Intro restored."),
                                  QStringLiteral("Remove Intro?"), QStringLiteral("Intro removed.")}));
        }
        QMap<QString, QByteArray> off;
        for (const QString& name : names)
            off.insert(name.endsWith(QStringLiteral(".OFF")) ? name : name + QStringLiteral(".OFF"), movieBytes(name));
        QCOMPARE(FolderContents(movies), off);
        QVERIFY(FolderContents(bare).isEmpty());
    }

    void aFailedRenameKeepsTheMovieAndIsReported_data()
    {
        QTest::addColumn<bool>("switchingOff");
        QTest::newRow("switching off") << true;
        QTest::newRow("switching on") << false;
    }

    void aFailedRenameKeepsTheMovieAndIsReported()
    {
        QFETCH(bool, switchingOff);
        // The other name of Intro.bik is taken by a folder, which a file cannot replace, in either direction.
        QStringList files;
        QStringList after;
        for (const QString& name : MovieNames) {
            files.append(switchingOff ? name : name + QStringLiteral(".OFF"));
            after.append(switchingOff ? name + QStringLiteral(".OFF") : name);
        }
        const QString failing = files.at(MovieNames.indexOf(QStringLiteral("Intro.bik")));
        const QString blocked = after.at(MovieNames.indexOf(QStringLiteral("Intro.bik")));
        after.append(failing);
        after.sort();
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
        QCOMPARE(FolderContents(movies).keys(), after);
    }

    void findsMoviesInAnyLetterCase()
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
        QCOMPARE(FolderContents(folder), (QMap<QString, QByteArray>{{QStringLiteral("INTRO.BIK.OFF"), "intro"},
                                                                    {QStringLiteral("kv.bik.off"), "kv"},
                                                                    {QStringLiteral("legal.bik.off"), "legal"},
                                                                    {QStringLiteral("tolmar.bik.off"), "tolmar"}}));
        QVERIFY(!intro.ReadIntroStatus(m_mod));
        QVERIFY(intro.RestoreIntro(m_mod).isEmpty());
        QCOMPARE(FolderContents(folder), (QMap<QString, QByteArray>{{QStringLiteral("INTRO.BIK"), "intro"},
                                                                    {QStringLiteral("kv.bik"), "kv"},
                                                                    {QStringLiteral("legal.bik"), "legal"},
                                                                    {QStringLiteral("tolmar.bik"), "tolmar"}}));
        QVERIFY(intro.ReadIntroStatus(m_mod));
    }
};

QTEST_GUILESS_MAIN(TestIntroSwitch)
#include "tst_introswitch.moc"
