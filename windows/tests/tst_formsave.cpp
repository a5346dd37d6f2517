#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/CheckPicture.h"
#include "windows/EditorContext.h"
#include "windows/FormMain.h"
#include "windows/FormSave.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

#include <memory>

namespace {

const QPoint SavePlace{104 + 45, 152 + 9};
const QPoint CancelPlace{8 + 45, 152 + 9};
const QPoint FFPlace{184, 40};
const QPoint ScorePlace{184, 64};
const QPoint BSMBPlace{184, 88};
const QPoint NamesPlace{184, 112};
const QPoint IntroPlace{184, 136};

// The bytes of the four files of the loaded mod.
QMap<ModFile, QByteArray> ModBytes(const ModSettings& mod)
{
    QMap<ModFile, QByteArray> bytes;
    for (ModFile file : ModFiles::AllModFiles)
        bytes.insert(file, ReadBytes(mod.filePath(file)));
    return bytes;
}

QStringList FolderNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

} // namespace

class TestFormSave final : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_e = std::make_unique<DemoEditor>(); }
    void cleanup()
    {
        m_e.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
    void controlsSitAtTheirPlaces();
    void checksFlipTheirFlags();
    void cancelAndNoWriteNothing();
    void savesExactlyTheChosenGroups();
    void aFailedSaveIsReported();
    void missingGroupsAreOffAndDisabled();
    void switchesTheIntroMovies();

private:
    void open();
    FormSave* save() const { return m_e->windows.save; }
    ModSettings& mod() const { return m_e->mod(); }
    CheckPicture* check(const char* name) const { return Control<CheckPicture>(save(), name); }
    void click(QPoint at) const { ClickAt(save(), at); }
    QList<bool> flags() const
    {
        return {mod().saveFlag(ModFile::ServerSettings), mod().saveFlag(ModFile::Scoring),
                mod().saveFlag(ModFile::AIDefault), mod().saveFlag(ModFile::BotNames)};
    }
    QList<bool> checks() const
    {
        return {check("PictureFF")->isOn(), check("PictureScore")->isOn(), check("PictureBSMB")->isOn(),
                check("PictureBotNames")->isOn()};
    }
    // The intro check, its tool tips and the movies' names all tell the same state.
    void expectIntro(bool on) const
    {
        const QString tip = on ? QStringLiteral("Intro is ON") : QStringLiteral("Intro is OFF");
        QCOMPARE(check("PictureIntro")->isOn(), on);
        QCOMPARE(m_e->context.intro.IntroOn(), on);
        QCOMPARE(check("PictureIntro")->toolTip(), tip);
        QCOMPARE(Control<QLabel>(save(), "LabelLIntro")->toolTip(), tip);
        for (const QString& name : FolderNames(movies()))
            QVERIFY2(name.endsWith(QStringLiteral(".bik")) == on, qPrintable(name));
    }
    QString movies() const { return mod().ModFolder + QStringLiteral("/Movies"); }

    std::unique_ptr<DemoEditor> m_e;
};

// What the mod selection does for the complete mod, then the Save button of the main window.
void TestFormSave::open()
{
    m_e->load(DemoGame::CompleteMod);
    m_e->context.showOnly(m_e->windows.main);
    QTest::mouseClick(Control<QWidget>(m_e->windows.main, "PictureSave"), Qt::LeftButton);
    QCOMPARE(VisibleOnly(m_e->editor), save());
    m_e->sounds.played.clear();
}

void TestFormSave::controlsSitAtTheirPlaces()
{
    open();
    const struct
    {
        const char* name;
        QRect place;
        const char* caption;
    } controls[] = {
        {"LabelLSave", {8, 0, 49, 25}, "Save"},          {"LabelLFF", {8, 32, 161, 17}, "Friendly Fire"},
        {"LabelLScore", {8, 56, 161, 17}, "Score List"}, {"LabelLBSMB", {8, 80, 161, 17}, "Bot Skill && Max Bots"},
        {"LabelLNames", {8, 104, 161, 17}, "Bot Names"}, {"LabelLIntro", {8, 128, 161, 17}, "Intro"},
        {"PictureFF", {176, 32, 16, 16}, nullptr},       {"PictureScore", {176, 56, 16, 16}, nullptr},
        {"PictureBSMB", {176, 80, 16, 16}, nullptr},     {"PictureBotNames", {176, 104, 16, 16}, nullptr},
        {"PictureIntro", {176, 128, 16, 16}, nullptr},   {"PictureCancel", {8, 152, 91, 18}, nullptr},
        {"PictureSave", {104, 152, 91, 18}, nullptr}};
    for (const auto& c : controls) {
        QWidget* control = Control<QWidget>(save(), c.name);
        QVERIFY(control);
        QVERIFY2(control->geometry() == c.place && control->isVisible(), c.name);
        if (auto* label = qobject_cast<QLabel*>(control)) {
            QCOMPARE(label->text(), QString::fromLatin1(c.caption));
            // With a buddy the label treats "&&" as one shown "&".
            QVERIFY2(label->buddy() || c.place.y() == 0, c.name);
        } else {
            QVERIFY2(save()->childAt(c.place.center()) == control, c.name);
        }
    }
    QCOMPARE(save()->size(), QSize(201, 177));
    QVERIFY(save()->windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestFormSave::checksFlipTheirFlags()
{
    open();
    QCOMPARE(flags(), QList<bool>(4, true));
    QCOMPARE(checks(), QList<bool>(4, true));
    const QPoint places[] = {FFPlace, ScorePlace, BSMBPlace, NamesPlace};
    for (int i = 0; i < 4; ++i) {
        m_e->sounds.played.clear();
        click(places[i]);
        QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::ListOrCheck});
        // Only its own flag changed, in the model and on the screen.
        QList<bool> expected(4, true);
        expected[i] = false;
        QCOMPARE(flags(), expected);
        QCOMPARE(checks(), expected);
        click(places[i]);
        QCOMPARE(flags(), QList<bool>(4, true));
    }
    QVERIFY(m_e->prompter.boxes.isEmpty());
    click(ScorePlace);
    SaveScreenshot(save(), QStringLiteral("FormSave.png"));
}

void TestFormSave::cancelAndNoWriteNothing()
{
    open();
    const QMap<ModFile, QByteArray> before = ModBytes(mod());
    mod().setBotName(0, QStringLiteral("Changed"));
    mod().setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("10"));
    m_e->sounds.played.clear();

    // No to "Save?" keeps the window and the files.
    m_e->prompter.questionAnswers = {false};
    click(SavePlace);
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
    QCOMPARE(m_e->prompter.kinds(), QStringList{QStringLiteral("question")});
    QCOMPARE(m_e->prompter.texts(), QStringList{QStringLiteral("Save?")});
    QCOMPARE(VisibleOnly(m_e->editor), save());

    // Cancel goes home and keeps the chosen flags, shown again as they were, also after a close.
    click(FFPlace);
    click(BSMBPlace);
    m_e->sounds.played.clear();
    click(CancelPlace);
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
    QCOMPARE(VisibleOnly(m_e->editor), m_e->windows.main);
    QCOMPARE(m_e->prompter.boxes.size(), 1);
    for (int i = 0; i < 2; ++i) {
        m_e->context.showOnly(save());
        QCOMPARE(checks(), (QList<bool>{false, true, false, true}));
        QCOMPARE(flags(), checks());
        save()->close();
        QVERIFY(!save()->isVisible());
    }

    // Every group off: a Yes writes nothing and says nothing more.
    m_e->context.showOnly(save());
    click(ScorePlace);
    click(NamesPlace);
    m_e->prompter.clear();
    m_e->prompter.questionAnswers = {true};
    click(SavePlace);
    QCOMPARE(m_e->prompter.texts(), QStringList{QStringLiteral("Save?")});
    QCOMPARE(VisibleOnly(m_e->editor), m_e->windows.main);
    QCOMPARE(ModBytes(mod()), before);
}

void TestFormSave::savesExactlyTheChosenGroups()
{
    open();
    const QMap<ModFile, QByteArray> before = ModBytes(mod());
    mod().setBotName(0, QStringLiteral("Changed"));
    mod().setFriendlyFire(FriendlyFire::SoldierFF, QStringLiteral("10"));
    mod().setMaxBots(QStringLiteral("16"));
    mod().setScoreValue(0, 9);
    click(BSMBPlace);
    click(ScorePlace);
    m_e->sounds.played.clear();
    m_e->prompter.questionAnswers = {true};
    // The files are written before any message, and the busy cursor is gone by then.
    bool cursorDuringBox = true;
    QMap<ModFile, QByteArray> whenTold;
    m_e->prompter.onBox = [&](const RecordingPrompter::Box& box) {
        if (box.kind == QStringLiteral("information")) {
            cursorDuringBox = QApplication::overrideCursor() != nullptr;
            whenTold = ModBytes(mod());
        }
    };
    click(SavePlace);
    m_e->prompter.onBox = nullptr;
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
    QCOMPARE(m_e->prompter.texts(), (QStringList{QStringLiteral("Save?"), QStringLiteral("Data saved.")}));
    QCOMPARE(m_e->prompter.kinds().last(), QStringLiteral("information"));
    QVERIFY(!cursorDuringBox);
    QCOMPARE(VisibleOnly(m_e->editor), m_e->windows.main);

    const QMap<ModFile, QByteArray> after = ModBytes(mod());
    QCOMPARE(whenTold, after);
    QCOMPARE(after.value(ModFile::AIDefault), before.value(ModFile::AIDefault));
    QCOMPARE(after.value(ModFile::Scoring), before.value(ModFile::Scoring));
    QStringList names = DemoGame::BotNames;
    names[0] = QStringLiteral("Changed");
    QCOMPARE(after.value(ModFile::BotNames), DemoGame::BotNamesFile(names));
    QByteArray settings = before.value(ModFile::ServerSettings);
    settings.replace("sv.soldierFriendlyFire 100\r\n", "sv.soldierFriendlyFire 10\r\n");
    QCOMPARE(after.value(ModFile::ServerSettings), settings);
    // The flags stay as they were chosen for the next save.
    QCOMPARE(flags(), (QList<bool>{true, false, false, true}));
}

void TestFormSave::aFailedSaveIsReported()
{
    open();
    const QString names = mod().filePath(ModFile::BotNames);
    const QByteArray namesBefore = ReadBytes(names);
    QVERIFY(QFile::setPermissions(names, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    mod().setBotName(0, QStringLiteral("Changed"));
    mod().setScoreValue(0, 9);
    click(FFPlace);
    click(BSMBPlace);
    m_e->prompter.questionAnswers = {true};
    click(SavePlace);
    QCOMPARE(m_e->prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
    const QString report = m_e->prompter.texts().last();
    QVERIFY2(report.contains(QDir::toNativeSeparators(names)), qPrintable(report));
    QVERIFY(!report.contains(QStringLiteral("Data saved.")));
    QVERIFY(!save()->isVisible());
    QCOMPARE(ReadBytes(names), namesBefore);
    // The group that could be written was.
    QVERIFY(ReadBytes(mod().filePath(ModFile::Scoring)).contains("\r\nSCORE_KILL = 9\r\n"));
}

void TestFormSave::missingGroupsAreOffAndDisabled()
{
    // The load itself refreshes the checks, without the window being shown.
    m_e->load(DemoGame::NamesOnlyMod);
    for (const char* name : {"PictureFF", "PictureScore", "PictureBSMB"})
        QVERIFY2(!check(name)->isOn() && !check(name)->isEnabled(), name);
    QVERIFY(check("PictureBotNames")->isOn() && check("PictureBotNames")->isEnabled());

    m_e->context.showOnly(save());
    for (const QPoint& place : {FFPlace, ScorePlace, BSMBPlace})
        click(place);
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{});
    QCOMPARE(flags(), (QList<bool>{false, false, false, true}));

    // Saving writes the one file there is and makes no others.
    mod().addBotName(QStringLiteral("Third"));
    m_e->prompter.questionAnswers = {true};
    click(SavePlace);
    QCOMPARE(m_e->prompter.texts(), (QStringList{QStringLiteral("Save?"), QStringLiteral("Data saved.")}));
    QCOMPARE(
        ReadBytes(mod().filePath(ModFile::BotNames)),
        DemoGame::BotNamesFile({QStringLiteral("Solo"), QStringLiteral("Caf\u00e9 Racer"), QStringLiteral("Third")}));
    QCOMPARE(FolderNames(mod().ModFolder), QStringList{QStringLiteral("AI")});
    QCOMPARE(FolderNames(mod().ModFolder + QStringLiteral("/AI")), QStringList{QStringLiteral("BotNames.AI")});
}

void TestFormSave::switchesTheIntroMovies()
{
    open();
    const QStringList onNames = FolderNames(movies());
    QCOMPARE(onNames.size(), 5);
    expectIntro(true);

    // No: the sound has played, and nothing else happens.
    m_e->prompter.questionAnswers = {false};
    click(IntroPlace);
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
    QCOMPARE(m_e->prompter.texts(), QStringList{QStringLiteral("Remove Intro?")});
    expectIntro(true);
    QCOMPARE(FolderNames(movies()), onNames);

    m_e->prompter.clear();
    m_e->prompter.questionAnswers = {true};
    click(IntroPlace);
    QCOMPARE(m_e->prompter.texts(), (QStringList{QStringLiteral("Remove Intro?"), QStringLiteral("Intro removed.")}));
    expectIntro(false);
    // The switch is not part of the save, and the window stays.
    QVERIFY(save()->isVisible());
    QCOMPARE(flags(), QList<bool>(4, true));

    // Shown again later, the window shows the state as it stands.
    click(CancelPlace);
    m_e->context.showOnly(save());
    expectIntro(false);

    m_e->prompter.clear();
    m_e->prompter.questionAnswers = {true};
    click(IntroPlace);
    QCOMPARE(m_e->prompter.texts(), (QStringList{QStringLiteral("Restore Intro?"), QStringLiteral("Intro restored.")}));
    expectIntro(true);
    QCOMPARE(FolderNames(movies()), onNames);

    // A switch that cannot finish is reported, and the state stays as it was.
    QVERIFY(QDir().mkpath(movies() + QStringLiteral("/Intro.bik.OFF")));
    m_e->prompter.clear();
    m_e->prompter.questionAnswers = {true};
    click(IntroPlace);
    QCOMPARE(m_e->prompter.kinds(), (QStringList{QStringLiteral("question"), QStringLiteral("critical")}));
    QVERIFY(m_e->prompter.texts().last().contains(QStringLiteral("Intro.bik")));
    QVERIFY(QFile::exists(movies() + QStringLiteral("/Intro.bik")));
    QVERIFY(check("PictureIntro")->isOn());
    QCOMPARE(check("PictureIntro")->toolTip(), QStringLiteral("Intro is ON"));
}

QTEST_MAIN(TestFormSave)
#include "tst_formsave.moc"
