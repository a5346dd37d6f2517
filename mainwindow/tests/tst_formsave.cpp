#include "mainwindow/FormSave.h"

#include "mainwindow/FormMain.h"

#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "shell/CheckPicture.h"
#include "shell/EditorContext.h"
#include "shell/ImageButton.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace {

// A click where the user would click: on whatever control covers that pixel of the window.
void clickAt(QWidget* window, QPoint position)
{
    QWidget* target = window->childAt(position);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(window, position));
}

QPoint checkPlace(int y)
{
    return {176 + 8, y + 8};
}

const QPoint SavePlace{104 + 45, 152 + 9};
const QPoint CancelPlace{8 + 45, 152 + 9};
const QPoint FFPlace = checkPlace(32);
const QPoint ScorePlace = checkPlace(56);
const QPoint BSMBPlace = checkPlace(80);
const QPoint NamesPlace = checkPlace(104);
const QPoint IntroPlace = checkPlace(128);

// The bytes of the four files of the loaded mod.
QMap<ModFile, QByteArray> modBytes(const ModSettings& mod)
{
    QMap<ModFile, QByteArray> bytes;
    for (ModFile file : AllModFiles)
        bytes.insert(file, ReadBytes(mod.filePath(file)));
    return bytes;
}

QStringList folderNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

class TestFormSave final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
    void checksFlipTheirFlags();
    void cancelKeepsTheFlags();
    void answeringNoWritesNothing();
    void savesExactlyTheChosenGroups();
    void savingWithEveryGroupOffWritesNothing();
    void aFailedSaveIsReported();
    void missingGroupsAreOffAndDisabled();
    void switchesTheIntroMovies();
    void aFailedIntroSwitchKeepsItsState();

private:
    void open(const QString& modName);
    CheckPicture* check(const char* name) const { return m_save->findChild<CheckPicture*>(QLatin1String(name)); }
    QLabel* label(const char* name) const { return m_save->findChild<QLabel*>(QLatin1String(name)); }
    QString movies() const { return m_mod->ModFolder + QStringLiteral("/Movies"); }

    std::unique_ptr<DemoGameFolder> m_game;
    std::unique_ptr<ModSettings> m_mod;
    RecordingPrompter m_prompter;
    RecordingSounds m_sounds;
    IntroSwitch m_intro;
    std::unique_ptr<EditorContext> m_context;
    std::unique_ptr<FormMain> m_main;
    std::unique_ptr<FormSave> m_save;
};

void TestFormSave::init()
{
    m_game = std::make_unique<DemoGameFolder>();
    m_mod = std::make_unique<ModSettings>();
    m_prompter.clear();
    m_prompter.questionAnswers.clear();
    m_sounds.played.clear();
    m_context = std::make_unique<EditorContext>(*m_mod, m_prompter, m_sounds, m_intro);
    // Made before the mod is chosen, as at start-up, so that it follows the load.
    m_main = std::make_unique<FormMain>(*m_context);
    m_save = std::make_unique<FormSave>(*m_context);
    m_context->main = m_main.get();
    m_context->save = m_save.get();
}

void TestFormSave::cleanup()
{
    m_save.reset();
    m_main.reset();
    m_context.reset();
    m_mod.reset();
    m_game.reset();
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

// What the mod selection does, then the Save button of the main window.
void TestFormSave::open(const QString& modName)
{
    m_mod->ModFolder = m_game->mod(modName);
    QVERIFY(LoadMod(*m_mod).unreadableFiles.isEmpty());
    m_intro.ReadIntroStatus(m_mod->ModFolder);
    m_context->showOnly(m_main.get());
    auto* saveButton = m_main->findChild<QWidget*>(QStringLiteral("PictureSave"));
    QVERIFY(saveButton);
    QTest::mouseClick(saveButton, Qt::LeftButton);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_save.get()});
    m_sounds.played.clear();
}

void TestFormSave::controlsSitAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("caption");
    QTest::newRow("LabelLSave") << QStringLiteral("LabelLSave") << QRect(8, 0, 49, 25) << QStringLiteral("Save");
    QTest::newRow("LabelLFF") << QStringLiteral("LabelLFF") << QRect(8, 32, 161, 17) << QStringLiteral("Friendly Fire");
    QTest::newRow("LabelLScore") << QStringLiteral("LabelLScore") << QRect(8, 56, 161, 17)
                                 << QStringLiteral("Score List");
    QTest::newRow("LabelLBSMB") << QStringLiteral("LabelLBSMB") << QRect(8, 80, 161, 17)
                                << QStringLiteral("Bot Skill && Max Bots");
    QTest::newRow("LabelLNames") << QStringLiteral("LabelLNames") << QRect(8, 104, 161, 17)
                                 << QStringLiteral("Bot Names");
    QTest::newRow("LabelLIntro") << QStringLiteral("LabelLIntro") << QRect(8, 128, 161, 17) << QStringLiteral("Intro");
    QTest::newRow("PictureFF") << QStringLiteral("PictureFF") << QRect(176, 32, 16, 16) << QString();
    QTest::newRow("PictureScore") << QStringLiteral("PictureScore") << QRect(176, 56, 16, 16) << QString();
    QTest::newRow("PictureBSMB") << QStringLiteral("PictureBSMB") << QRect(176, 80, 16, 16) << QString();
    QTest::newRow("PictureBotNames") << QStringLiteral("PictureBotNames") << QRect(176, 104, 16, 16) << QString();
    QTest::newRow("PictureIntro") << QStringLiteral("PictureIntro") << QRect(176, 128, 16, 16) << QString();
    QTest::newRow("PictureCancel") << QStringLiteral("PictureCancel") << QRect(8, 152, 91, 18) << QString();
    QTest::newRow("PictureSave") << QStringLiteral("PictureSave") << QRect(104, 152, 91, 18) << QString();
}

void TestFormSave::controlsSitAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, caption);
    open(DemoGame::CompleteMod);
    QCOMPARE(m_save->size(), QSize(201, 177));
    QVERIFY(m_save->windowFlags().testFlag(Qt::FramelessWindowHint));
    QWidget* control = m_save->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    QVERIFY(control->isVisible());
    if (auto* text = qobject_cast<QLabel*>(control)) {
        QCOMPARE(text->text(), caption);
        // With a buddy the label treats "&&" as one shown "&".
        if (name != QStringLiteral("LabelLSave"))
            QVERIFY(text->buddy());
    } else {
        QCOMPARE(m_save->childAt(place.center()), control);
    }
}

void TestFormSave::checksFlipTheirFlags()
{
    open(DemoGame::CompleteMod);
    struct Row
    {
        QPoint place;
        const char* name;
        bool ModSettings::*flag;
    };
    const Row rows[] = {{FFPlace, "PictureFF", &ModSettings::SaveFriendlyFire},
                        {ScorePlace, "PictureScore", &ModSettings::SaveScores},
                        {BSMBPlace, "PictureBSMB", &ModSettings::SaveBotSettings},
                        {NamesPlace, "PictureBotNames", &ModSettings::SaveBotNames}};
    for (const Row& row : rows) {
        QVERIFY(m_mod.get()->*row.flag);
        QVERIFY(check(row.name)->isOn());
        QVERIFY(check(row.name)->isEnabled());
    }
    for (const Row& row : rows) {
        m_sounds.played.clear();
        clickAt(m_save.get(), row.place);
        QCOMPARE(m_sounds.played, QList<int>{2});
        QVERIFY2(!(m_mod.get()->*row.flag), row.name);
        QVERIFY(!check(row.name)->isOn());
        // Only its own flag changed.
        for (const Row& other : rows) {
            if (other.name != row.name)
                QCOMPARE(m_mod.get()->*other.flag, check(other.name)->isOn());
        }
        clickAt(m_save.get(), row.place);
        QVERIFY(m_mod.get()->*row.flag);
        QVERIFY(check(row.name)->isOn());
    }
    QVERIFY(m_prompter.boxes.isEmpty());

    // Both images side by side for the record.
    clickAt(m_save.get(), ScorePlace);
    clickAt(m_save.get(), NamesPlace);
    const QString folder = qEnvironmentVariable("GX_ARTIFACTS");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QVERIFY(m_save->grab().save(folder + QStringLiteral("/FormSave.png")));
    }
}

void TestFormSave::cancelKeepsTheFlags()
{
    open(DemoGame::CompleteMod);
    const QMap<ModFile, QByteArray> before = modBytes(*m_mod);
    clickAt(m_save.get(), FFPlace);
    clickAt(m_save.get(), BSMBPlace);
    m_sounds.played.clear();
    clickAt(m_save.get(), CancelPlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QVERIFY(m_prompter.boxes.isEmpty());
    QVERIFY(!m_mod->SaveFriendlyFire && !m_mod->SaveBotSettings);
    QVERIFY(m_mod->SaveScores && m_mod->SaveBotNames);

    // Opened again, and once more after closing it through the window system: the same states.
    for (int i = 0; i < 2; ++i) {
        m_context->showOnly(m_save.get());
        QCOMPARE((QList<bool>{check("PictureFF")->isOn(), check("PictureScore")->isOn(), check("PictureBSMB")->isOn(),
                              check("PictureBotNames")->isOn()}),
                 (QList<bool>{false, true, false, true}));
        m_save->close();
        QVERIFY(!m_save->isVisible());
    }
    QCOMPARE(modBytes(*m_mod), before);
}

void TestFormSave::answeringNoWritesNothing()
{
    open(DemoGame::CompleteMod);
    const QMap<ModFile, QByteArray> before = modBytes(*m_mod);
    m_mod->setBotName(0, QStringLiteral("Changed"));
    m_mod->setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("10"));
    m_sounds.played.clear();
    m_prompter.questionAnswers = {false};
    clickAt(m_save.get(), SavePlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_prompter.kinds(), QStringList{QStringLiteral("question")});
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Save?")});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_save.get()});
    QCOMPARE(modBytes(*m_mod), before);
    QVERIFY(m_mod->SaveFriendlyFire && m_mod->SaveScores && m_mod->SaveBotSettings && m_mod->SaveBotNames);
}

void TestFormSave::savesExactlyTheChosenGroups()
{
    open(DemoGame::CompleteMod);
    const QMap<ModFile, QByteArray> before = modBytes(*m_mod);
    m_mod->setBotName(0, QStringLiteral("Changed"));
    m_mod->setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("10"));
    m_mod->setMaxBots(QStringLiteral("16"));
    m_mod->setScoreValue(0, 9);
    // Bot settings and scores off, friendly fire and bot names on.
    clickAt(m_save.get(), BSMBPlace);
    clickAt(m_save.get(), ScorePlace);
    m_sounds.played.clear();
    m_prompter.questionAnswers = {true};
    // The files are written before any message, and the busy cursor is gone by then.
    bool cursorDuringBox = true;
    QMap<ModFile, QByteArray> whenTold;
    m_prompter.onBox = [&](const RecordingPrompter::Box& box) {
        if (box.kind == QStringLiteral("information")) {
            cursorDuringBox = QApplication::overrideCursor() != nullptr;
            whenTold = modBytes(*m_mod);
        }
    };
    clickAt(m_save.get(), SavePlace);
    m_prompter.onBox = nullptr;
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Save?"), QStringLiteral("Data saved.")}));
    QCOMPARE(m_prompter.kinds().last(), QStringLiteral("information"));
    QVERIFY(!cursorDuringBox);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});

    const QMap<ModFile, QByteArray> after = modBytes(*m_mod);
    QCOMPARE(whenTold, after);
    QCOMPARE(after.value(ModFile::AIDefault), before.value(ModFile::AIDefault));
    QCOMPARE(after.value(ModFile::Scoring), before.value(ModFile::Scoring));
    QStringList names = DemoGame::BotNames;
    names[0] = QStringLiteral("Changed");
    QCOMPARE(after.value(ModFile::BotNames), DemoGame::BotNamesFile(names));
    QVERIFY(after.value(ModFile::ServerSettings) != before.value(ModFile::ServerSettings));
    const QByteArray settings = after.value(ModFile::ServerSettings).toLower();
    QVERIFY(settings.contains("sv.soldierfriendlyfire 10\r\n"));
    QVERIFY(!settings.contains("sv.soldierfriendlyfire 100"));
    // The flags stay as they were chosen for the next save.
    QVERIFY(m_mod->SaveFriendlyFire && !m_mod->SaveScores && !m_mod->SaveBotSettings && m_mod->SaveBotNames);
}

void TestFormSave::savingWithEveryGroupOffWritesNothing()
{
    open(DemoGame::CompleteMod);
    const QMap<ModFile, QByteArray> before = modBytes(*m_mod);
    for (const QPoint& place : {FFPlace, ScorePlace, BSMBPlace, NamesPlace})
        clickAt(m_save.get(), place);
    m_mod->setBotName(0, QStringLiteral("Changed"));
    m_mod->setScoreValue(0, 9);
    m_prompter.questionAnswers = {true};
    clickAt(m_save.get(), SavePlace);
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Save?")});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(modBytes(*m_mod), before);
}

void TestFormSave::aFailedSaveIsReported()
{
    open(DemoGame::CompleteMod);
    const QMap<ModFile, QByteArray> before = modBytes(*m_mod);
    const QString names = m_mod->filePath(ModFile::BotNames);
    QVERIFY(QFile::setPermissions(names, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    m_mod->setBotName(0, QStringLiteral("Changed"));
    m_mod->setScoreValue(0, 9);
    clickAt(m_save.get(), FFPlace);
    clickAt(m_save.get(), BSMBPlace);
    m_prompter.questionAnswers = {true};
    clickAt(m_save.get(), SavePlace);
    QCOMPARE(m_prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
    const QString report = m_prompter.texts().last();
    QVERIFY2(report.contains(QDir::toNativeSeparators(names)), qPrintable(report));
    QVERIFY(!report.contains(QStringLiteral("Data saved.")));
    QVERIFY(!m_save->isVisible());
    QCOMPARE(ReadBytes(names), before.value(ModFile::BotNames));
    QVERIFY(ReadBytes(m_mod->filePath(ModFile::Scoring)).contains("\r\nSCORE_KILL = 9\r\n"));
}

void TestFormSave::missingGroupsAreOffAndDisabled()
{
    // Made before the load: the load itself refreshes the checks, without the window being shown.
    m_mod->ModFolder = m_game->mod(DemoGame::NamesOnlyMod);
    QVERIFY(LoadMod(*m_mod).unreadableFiles.isEmpty());
    for (const char* name : {"PictureFF", "PictureScore", "PictureBSMB"}) {
        QVERIFY2(!check(name)->isOn(), name);
        QVERIFY2(!check(name)->isEnabled(), name);
    }
    QVERIFY(check("PictureBotNames")->isOn());
    QVERIFY(check("PictureBotNames")->isEnabled());

    m_context->showOnly(m_save.get());
    for (const QPoint& place : {FFPlace, ScorePlace, BSMBPlace})
        clickAt(m_save.get(), place);
    QCOMPARE(m_sounds.played, QList<int>{});
    QVERIFY(!m_mod->SaveFriendlyFire && !m_mod->SaveScores && !m_mod->SaveBotSettings);
    QVERIFY(!check("PictureFF")->isOn());

    // Saving writes the one file there is and makes no others.
    m_mod->addBotName(QStringLiteral("Third"));
    m_prompter.questionAnswers = {true};
    clickAt(m_save.get(), SavePlace);
    QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Save?"), QStringLiteral("Data saved.")}));
    QCOMPARE(
        ReadBytes(m_mod->filePath(ModFile::BotNames)),
        DemoGame::BotNamesFile({QStringLiteral("Solo"), QStringLiteral("Caf\u00e9 Racer"), QStringLiteral("Third")}));
    QCOMPARE(folderNames(m_mod->ModFolder), QStringList{QStringLiteral("AI")});
    QCOMPARE(folderNames(m_mod->ModFolder + QStringLiteral("/AI")), QStringList{QStringLiteral("BotNames.AI")});
}

void TestFormSave::switchesTheIntroMovies()
{
    open(DemoGame::CompleteMod);
    const QStringList onNames = folderNames(movies());
    QCOMPARE(onNames.size(), 5);
    QVERIFY(check("PictureIntro")->isOn());
    QCOMPARE(check("PictureIntro")->toolTip(), QStringLiteral("Intro is ON"));
    QCOMPARE(label("LabelLIntro")->toolTip(), QStringLiteral("Intro is ON"));

    // No: the sound has played, and nothing else happens.
    m_prompter.questionAnswers = {false};
    clickAt(m_save.get(), IntroPlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Remove Intro?")});
    QVERIFY(check("PictureIntro")->isOn());
    QVERIFY(m_intro.IntroOn());
    QCOMPARE(check("PictureIntro")->toolTip(), QStringLiteral("Intro is ON"));
    QCOMPARE(folderNames(movies()), onNames);

    m_prompter.clear();
    m_sounds.played.clear();
    m_prompter.questionAnswers = {true};
    clickAt(m_save.get(), IntroPlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Remove Intro?"), QStringLiteral("Intro removed.")}));
    QVERIFY(!check("PictureIntro")->isOn());
    QVERIFY(!m_intro.IntroOn());
    QCOMPARE(check("PictureIntro")->toolTip(), QStringLiteral("Intro is OFF"));
    QCOMPARE(label("LabelLIntro")->toolTip(), QStringLiteral("Intro is OFF"));
    for (const QString& name : folderNames(movies()))
        QVERIFY2(name.endsWith(QStringLiteral(".bik.OFF")), qPrintable(name));
    // The switch is not part of the save, and the window stays.
    QVERIFY(m_save->isVisible());
    QVERIFY(m_mod->SaveFriendlyFire && m_mod->SaveScores && m_mod->SaveBotSettings && m_mod->SaveBotNames);

    // Shown again later, the window shows the state as it stands.
    clickAt(m_save.get(), CancelPlace);
    m_context->showOnly(m_save.get());
    QVERIFY(!check("PictureIntro")->isOn());

    m_prompter.clear();
    m_prompter.questionAnswers = {true};
    clickAt(m_save.get(), IntroPlace);
    QCOMPARE(m_prompter.texts(), (QStringList{QStringLiteral("Restore Intro?"), QStringLiteral("Intro restored.")}));
    QVERIFY(check("PictureIntro")->isOn());
    QCOMPARE(check("PictureIntro")->toolTip(), QStringLiteral("Intro is ON"));
    QCOMPARE(label("LabelLIntro")->toolTip(), QStringLiteral("Intro is ON"));
    QCOMPARE(folderNames(movies()), onNames);
}

void TestFormSave::aFailedIntroSwitchKeepsItsState()
{
    open(DemoGame::CompleteMod);
    QVERIFY(QDir().mkpath(movies() + QStringLiteral("/Intro.bik.OFF")));
    m_prompter.questionAnswers = {true};
    clickAt(m_save.get(), IntroPlace);
    QCOMPARE(m_prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
    QVERIFY(m_prompter.texts().last().contains(QStringLiteral("Intro.bik")));
    QVERIFY(QFile::exists(movies() + QStringLiteral("/Intro.bik")));
    QVERIFY(check("PictureIntro")->isOn());
    QCOMPARE(check("PictureIntro")->toolTip(), QStringLiteral("Intro is ON"));
}

QTEST_MAIN(TestFormSave)
#include "tst_formsave.moc"
