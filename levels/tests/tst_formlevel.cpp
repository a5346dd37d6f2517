#include "levels/FormLevel.h"

#include "levels/LevelWorkflow.h"
#include "levels/tests/ZipTestSupport.h"
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
#include <QLabel>
#include <QScrollBar>
#include <QTest>

namespace {

// A click where the user would click: on whatever control covers that pixel of the window.
void clickAt(QWidget* window, QPoint position, Qt::MouseButton button = Qt::LeftButton)
{
    QWidget* target = window->childAt(position);
    if (!target)
        target = window;
    QTest::mouseClick(target, button, Qt::NoModifier, target->mapFrom(window, position));
}

struct Row
{
    const char* name;
    int top;
};
constexpr Row Rows[] = {{"MaxView", 40}, {"PT16", 88},   {"ET16", 104},  {"PT32", 120}, {"ET32", 136}, {"PT64", 152},
                        {"ET64", 168},   {"PT128", 184}, {"ET128", 200}, {"PLPM", 224}, {"ELPM", 240}};

QPoint upperArrow(int top)
{
    return {176 + 8, top + 4};
}
QPoint lowerArrow(int top)
{
    return {176 + 8, top + 13};
}
const QPoint SavePlace{104 + 45, 264 + 9};
const QPoint CancelPlace{8 + 45, 264 + 9};
const QPoint ColdBreathPlace{176 + 8, 64 + 8};

QByteArray initConMember(const QString& archive)
{
    for (const StoredMember& member : ReadZip(archive)) {
        if (member.name.compare("Init.CON", Qt::CaseInsensitive) == 0)
            return member.data;
    }
    return {};
}

} // namespace

class TestFormLevel final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
    void everyDemoLevelOpens();
    void answeringNoDoesNothing();
    void failedOpeningStaysOnMain();
    void arrowsStopAtTheirLimits_data();
    void arrowsStopAtTheirLimits();
    void saveWritesTheArchiveAndReturns();
    void cancelWritesNothing();
    void failedSaveKeepsTheWindow();
    void coldBreathFollowsTheFile();
    void valuesOutOfRangeAndMissingKeys();
    void screenshot();

private:
    QLabel* label(const QString& name) const { return m_level->findChild<QLabel*>(name); }
    QScrollBar* bar(const QString& name) const
    {
        return m_level->findChild<QScrollBar*>(QStringLiteral("VScroll") + name);
    }
    QString archive(int index) const
    {
        return m_mod->ModFolder + QStringLiteral("/Levels/") + QString::fromLatin1(LevelTable.at(index).folderName) +
               QStringLiteral("/server.ZIP");
    }
    void open(int index);

    std::unique_ptr<DemoGameFolder> m_game;
    std::unique_ptr<ModSettings> m_mod;
    RecordingPrompter m_prompter;
    RecordingSounds m_sounds;
    IntroSwitch m_intro;
    std::unique_ptr<EditorContext> m_context;
    std::unique_ptr<FormMain> m_main;
    std::unique_ptr<FormLevel> m_level;
};

void TestFormLevel::init()
{
    m_game = std::make_unique<DemoGameFolder>();
    m_mod = std::make_unique<ModSettings>();
    m_mod->ModFolder = m_game->mod(DemoGame::CompleteMod);
    QVERIFY(LoadMod(*m_mod).unreadableFiles.isEmpty());
    m_prompter.clear();
    m_prompter.questionAnswers.clear();
    m_prompter.textAnswers.clear();
    m_context = std::make_unique<EditorContext>(*m_mod, m_prompter, m_sounds, m_intro);
    m_main = std::make_unique<FormMain>(*m_context);
    m_context->main = m_main.get();
    m_level = std::make_unique<FormLevel>(*m_context);
    m_context->level = m_level.get();
    m_context->showOnly(m_main.get());
    m_sounds.played.clear();
}

void TestFormLevel::cleanup()
{
    QCOMPARE(QApplication::overrideCursor(), nullptr); // the busy cursor never outlives an open or a save
    m_level.reset();
    m_main.reset();
    m_context.reset();
    m_mod.reset();
    m_game.reset();
}

void TestFormLevel::open(int index)
{
    m_prompter.questionAnswers = {true};
    m_level->editLevel(index, QString::fromLatin1(LevelTable.at(index).displayName), m_main->busyPanel());
}

void TestFormLevel::controlsSitAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::newRow("LabelEditing") << QStringLiteral("LabelEditing") << QRect(8, 8, 49, 25);
    QTest::newRow("LabelLevel") << QStringLiteral("LabelLevel") << QRect(56, 8, 137, 25);
    QTest::newRow("LabelWarning") << QStringLiteral("LabelWarning") << QRect(8, 24, 185, 17);
    QTest::newRow("LabelMaxView") << QStringLiteral("LabelMaxView") << QRect(136, 40, 33, 17);
    QTest::newRow("PictureColdBreath") << QStringLiteral("PictureColdBreath") << QRect(176, 64, 16, 16);
    QTest::newRow("LabelLColdBreath") << QStringLiteral("LabelLColdBreath") << QRect(8, 64, 160, 17);
    QTest::newRow("PictureCancel") << QStringLiteral("PictureCancel") << QRect(8, 264, 91, 18);
    QTest::newRow("PictureSave") << QStringLiteral("PictureSave") << QRect(104, 264, 91, 18);
    for (const Row& row : Rows) {
        const QString name = QString::fromLatin1(row.name);
        QTest::addRow("VScroll%s", row.name) << QStringLiteral("VScroll") + name << QRect(176, row.top, 17, 17);
        QTest::addRow("LabelL%s", row.name)
            << QStringLiteral("LabelL") + name << QRect(8, row.top, row.top == 40 ? 128 : 136, 17);
        if (row.top != 40)
            QTest::addRow("Label%s", row.name) << QStringLiteral("Label") + name << QRect(144, row.top, 25, 17);
    }
}

void TestFormLevel::controlsSitAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QCOMPARE(m_level->size(), QSize(201, 289));
    QVERIFY(m_level->windowFlags().testFlag(Qt::FramelessWindowHint));
    QWidget* control = m_level->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    if (auto* text = qobject_cast<QLabel*>(control)) {
        QVERIFY(text->font().family().size() > 0);
        if (name == QLatin1String("LabelWarning")) {
            QCOMPARE(text->text(), QStringLiteral("Edit at your own risk!!"));
            QCOMPARE(text->palette().color(QPalette::WindowText), QColor(Qt::red));
            QCOMPARE(text->font().bold(), false);
            QCOMPARE(text->font().pointSizeF(), 8.25);
            QCOMPARE(text->alignment(), Qt::AlignCenter);
        } else {
            QCOMPARE(text->palette().color(QPalette::WindowText), QColor(Qt::white));
            QVERIFY(text->font().bold());
            const bool title = name == QLatin1String("LabelEditing") || name == QLatin1String("LabelLevel");
            QCOMPARE(text->font().pointSizeF(), title ? 9.75 : 9.0);
        }
        if (!name.startsWith(QLatin1String("LabelL")) && name != QLatin1String("LabelWarning") &&
            name != QLatin1String("LabelEditing"))
            QVERIFY(text->alignment().testFlag(Qt::AlignRight));
    }
    if (auto* spin = qobject_cast<QScrollBar*>(control)) {
        const LevelValueInfo* info = nullptr;
        for (const LevelValueInfo& candidate : LevelValues) {
            if (name == QStringLiteral("VScroll") + QLatin1String(candidate.name))
                info = &candidate;
        }
        QVERIFY(info);
        QCOMPARE(spin->orientation(), Qt::Vertical);
        QCOMPARE(spin->minimum(), info->minimum);
        QCOMPARE(spin->maximum(), info->maximum);
        QCOMPARE(spin->value(), info->designValue);
        QCOMPARE(spin->singleStep(), 1);
        QCOMPARE(spin->pageStep(), 1);
        QCOMPARE(label(QStringLiteral("Label") + QLatin1String(info->name))->text(),
                 QString::number(info->designValue));
    }
    if (auto* button = qobject_cast<ImageButton*>(control))
        QCOMPARE(button->word(),
                 name == QLatin1String("PictureSave") ? QStringLiteral("SAVE") : QStringLiteral("CANCEL"));
    if (auto* check = qobject_cast<CheckPicture*>(control))
        QVERIFY(!check->isOn());
}

void TestFormLevel::everyDemoLevelOpens()
{
    for (int index = 0; index < LevelCount; ++index) {
        m_prompter.clear();
        m_sounds.played.clear();
        QList<int> previous;
        for (const LevelValueInfo& info : LevelValues)
            previous.append(bar(QLatin1String(info.name))->value());
        open(index);
        QCOMPARE(m_prompter.kinds(), QStringList{QStringLiteral("question")});
        QCOMPARE(m_prompter.texts().first(), LevelEditWarning());
        QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_level.get()});
        QVERIFY(!m_main->busyPanel()->isVisibleTo(m_main.get()));
        QCOMPARE(label(QStringLiteral("LabelLevel"))->text(), QString::fromLatin1(LevelTable.at(index).displayName));
        const int base = 100 + index * 10;
        QCOMPARE(label(QStringLiteral("LabelMaxView"))->text(), QString::number(600 + index * 25));
        QCOMPARE(bar(QStringLiteral("MaxView"))->value(), 600 + index * 25);
        QCOMPARE(label(QStringLiteral("LabelPT128"))->text(), QString::number(base * 4));
        QCOMPARE(bar(QStringLiteral("ELPM"))->value(), 10 + index % 5);
        QCOMPARE(m_level->findChild<CheckPicture*>(QStringLiteral("PictureColdBreath"))->isOn(), index % 3 == 0);
        // Sound 3 once for every bar whose value the opening changed, and for no other.
        int changed = 0;
        for (size_t i = 0; i < LevelValues.size(); ++i)
            changed +=
                bar(QLatin1String(LevelValues.at(i).name))->value() != previous.at(static_cast<qsizetype>(i)) ? 1 : 0;
        QCOMPARE(m_sounds.played, QList<int>(changed, 3));
        clickAt(m_level.get(), CancelPlace);
        QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    }
    QCOMPARE(label(QStringLiteral("LabelLevel"))->text(), QStringLiteral("Orvane Island 3190"));
}

void TestFormLevel::answeringNoDoesNothing()
{
    m_prompter.questionAnswers = {false};
    m_level->editLevel(8, QStringLiteral("Merrow Harbour"), m_main->busyPanel());
    QCOMPARE(m_prompter.kinds(), QStringList{QStringLiteral("question")});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QVERIFY(!QFileInfo::exists(m_mod->ModFolder + QStringLiteral("/Levels/Merrow_Harbor/TEMP")));
    QVERIFY(m_sounds.played.isEmpty());
}

void TestFormLevel::failedOpeningStaysOnMain()
{
    QVERIFY(QFile::remove(archive(5)));
    open(5);
    QCOMPARE(m_prompter.texts(), QStringList({LevelEditWarning(), QStringLiteral("Unable to read level data.")}));
    QCOMPARE(m_prompter.kinds(), QStringList({QStringLiteral("question"), QStringLiteral("critical")}));
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QVERIFY(!m_main->busyPanel()->isVisibleTo(m_main.get()));
}

void TestFormLevel::arrowsStopAtTheirLimits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<int>("expected");
    QTest::newRow("view distance at 999, lower arrow") << QStringLiteral("MaxView") << 40 << 999 << false << 999;
    QTest::newRow("view distance at 998, lower arrow") << QStringLiteral("MaxView") << 40 << 998 << false << 999;
    QTest::newRow("view distance at 1, upper arrow") << QStringLiteral("MaxView") << 40 << 1 << true << 1;
    QTest::newRow("view distance at 2, upper arrow") << QStringLiteral("MaxView") << 40 << 2 << true << 1;
    QTest::newRow("tickets at 1, upper arrow") << QStringLiteral("ET128") << 200 << 1 << true << 1;
    QTest::newRow("tickets at 999, lower arrow") << QStringLiteral("PT16") << 88 << 999 << false << 999;
    QTest::newRow("team 1 loss at 1, upper arrow") << QStringLiteral("PLPM") << 224 << 1 << true << 0;
    QTest::newRow("team 1 loss at 0, upper arrow") << QStringLiteral("PLPM") << 224 << 0 << true << 0;
    QTest::newRow("team 2 loss at 0, upper arrow") << QStringLiteral("ELPM") << 240 << 0 << true << 0;
    QTest::newRow("team 2 loss at 0, lower arrow") << QStringLiteral("ELPM") << 240 << 0 << false << 1;
}

void TestFormLevel::arrowsStopAtTheirLimits()
{
    QFETCH(QString, name);
    QFETCH(int, top);
    QFETCH(int, start);
    QFETCH(bool, upper);
    QFETCH(int, expected);
    open(7);
    bar(name)->setValue(start);
    m_sounds.played.clear();
    clickAt(m_level.get(), upper ? upperArrow(top) : lowerArrow(top));
    QCOMPARE(bar(name)->value(), expected);
    QCOMPARE(label(QStringLiteral("Label") + name)->text(), QString::number(expected));
    QCOMPARE(m_sounds.played, expected == start ? QList<int>() : QList<int>{3});
    // Other buttons do nothing.
    clickAt(m_level.get(), upper ? upperArrow(top) : lowerArrow(top), Qt::RightButton);
    QCOMPARE(bar(name)->value(), expected);
}

void TestFormLevel::saveWritesTheArchiveAndReturns()
{
    open(8);
    clickAt(m_level.get(), lowerArrow(40)); // 800 -> 801
    clickAt(m_level.get(), upperArrow(184));
    clickAt(m_level.get(), upperArrow(184)); // 720 -> 718
    clickAt(m_level.get(), ColdBreathPlace);
    m_sounds.played.clear();
    clickAt(m_level.get(), SavePlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_prompter.texts().last(), QStringLiteral("Level data saved."));
    QCOMPARE(m_prompter.kinds().last(), QStringLiteral("information"));
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    const QByteArray saved = initConMember(archive(8));
    QVERIFY(saved.contains("gameLogic.maximumLevelViewDistance 801\r\n"));
    QVERIFY(saved.contains("gameLogic.setDefaultNumberOfTicketsEx 128 1 718\r\n"));
    QVERIFY(saved.contains("gameLogic.useColdBreath 1\r\n"));
    QCOMPARE(saved, ReadBytes(m_mod->ModFolder + QStringLiteral("/Levels/Merrow_Harbor/TEMP/Init.CON")));
}

void TestFormLevel::cancelWritesNothing()
{
    const QByteArray before = ReadBytes(archive(0));
    open(0);
    clickAt(m_level.get(), lowerArrow(40));
    clickAt(m_level.get(), ColdBreathPlace);
    m_sounds.played.clear();
    clickAt(m_level.get(), CancelPlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(ReadBytes(archive(0)), before);
    QCOMPARE(m_prompter.kinds(), QStringList{QStringLiteral("question")});

    // Opening again shows the archive's values, not the cancelled ones.
    open(0);
    QCOMPARE(label(QStringLiteral("LabelMaxView"))->text(), QStringLiteral("600"));
    QVERIFY(m_level->findChild<CheckPicture*>(QStringLiteral("PictureColdBreath"))->isOn());

    // Closing through the window system is a Cancel too.
    m_level->close();
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(ReadBytes(archive(0)), before);
}

void TestFormLevel::failedSaveKeepsTheWindow()
{
    open(11);
    clickAt(m_level.get(), lowerArrow(88));
    const QString shown = label(QStringLiteral("LabelPT16"))->text();
    WriteBytes(archive(11), "damaged meanwhile");
    clickAt(m_level.get(), SavePlace);
    QCOMPARE(m_prompter.kinds().last(), QStringLiteral("critical"));
    QVERIFY(m_prompter.texts().last().startsWith(QLatin1String("Unable to save level data.")));
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_level.get()});
    QCOMPARE(label(QStringLiteral("LabelPT16"))->text(), shown);
    QCOMPARE(ReadBytes(archive(11)), QByteArray("damaged meanwhile"));
}

void TestFormLevel::coldBreathFollowsTheFile()
{
    auto* check = m_level->findChild<CheckPicture*>(QStringLiteral("PictureColdBreath"));
    open(1); // off in the file
    QVERIFY(!check->isOn());
    m_sounds.played.clear();
    clickAt(m_level.get(), ColdBreathPlace);
    QVERIFY(check->isOn());
    clickAt(m_level.get(), ColdBreathPlace);
    QVERIFY(!check->isOn());
    QCOMPARE(m_sounds.played, QList<int>({2, 2}));
    clickAt(m_level.get(), CancelPlace);

    // No cold-breath line: the check is off and takes no clicks; the save adds no line.
    QByteArray init = DemoGame::InitCon(3);
    init.replace("gameLogic.useColdBreath 1\r\n", "");
    QVERIFY(DemoGame::WriteZip(archive(3), {{QStringLiteral("Init.CON"), init}}).isEmpty());
    open(3);
    QVERIFY(!check->isOn());
    QVERIFY(!check->isEnabled());
    m_sounds.played.clear();
    clickAt(m_level.get(), ColdBreathPlace);
    QVERIFY(!check->isOn());
    clickAt(m_level.get(), SavePlace);
    QCOMPARE(initConMember(archive(3)), init);
}

void TestFormLevel::valuesOutOfRangeAndMissingKeys()
{
    QByteArray init = DemoGame::InitCon(2);
    init.replace("ViewDistance 650", "ViewDistance 1500")
        .replace("TicketsEx 16 1 120", "TicketsEx 16 1 0")
        .replace("TicketsEx 16 2 110", "TicketsEx 16 2 050")
        .replace("setTicketLossPerMin 2", "rem setTicketLossPerMin 2");
    QVERIFY(DemoGame::WriteZip(archive(2), {{QStringLiteral("Init.CON"), init}}).isEmpty());
    open(2);
    QCOMPARE(label(QStringLiteral("LabelMaxView"))->text(), QStringLiteral("1500"));
    QCOMPARE(bar(QStringLiteral("MaxView"))->value(), 999);
    QCOMPARE(label(QStringLiteral("LabelPT16"))->text(), QStringLiteral("0"));
    QCOMPARE(bar(QStringLiteral("PT16"))->value(), 1);
    QCOMPARE(label(QStringLiteral("LabelET16"))->text(), QStringLiteral("50"));
    QVERIFY(!bar(QStringLiteral("ELPM"))->isEnabled());
    QCOMPARE(label(QStringLiteral("LabelELPM"))->text(), QStringLiteral("-"));

    // Saved untouched: every value is written back as the file had it.
    clickAt(m_level.get(), SavePlace);
    QCOMPARE(initConMember(archive(2)), init);

    // A change by the user is written whole, with nothing of the old digits left.
    open(2);
    clickAt(m_level.get(), upperArrow(40));
    QCOMPARE(label(QStringLiteral("LabelMaxView"))->text(), QStringLiteral("998"));
    clickAt(m_level.get(), lowerArrow(240)); // disabled: nothing happens
    clickAt(m_level.get(), SavePlace);
    QByteArray expected = init;
    expected.replace("ViewDistance 1500", "ViewDistance 998");
    QCOMPARE(initConMember(archive(2)), expected);
}

void TestFormLevel::screenshot()
{
    open(8);
    const QString folder = qEnvironmentVariable("GX_ARTIFACTS");
    if (folder.isEmpty())
        QSKIP("GX_ARTIFACTS is not set");
    QVERIFY(QDir().mkpath(folder));
    const QImage image = m_level->grab().toImage();
    QCOMPARE(image.size(), QSize(201, 289) * image.devicePixelRatio());
    QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::white)); // the frame line
    QVERIFY(image.save(folder + QStringLiteral("/FormLevel.png")));
}

QTEST_MAIN(TestFormLevel)
#include "tst_formlevel.moc"
