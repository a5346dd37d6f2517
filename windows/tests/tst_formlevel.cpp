#include "windows/FormLevel.h"

#include "levels/LevelWorkflow.h"
#include "modfiles/ModSettings.h"
#include "tests/support/WindowTestSupport.h"
#include "tests/support/ZipTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/CheckPicture.h"
#include "widgets/ImageButton.h"
#include "windows/EditorContext.h"
#include "windows/FormMain.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

namespace {

// The value rows: "LabelL", "Label" and "VScroll" followed by the name, at the row's top.
struct Row
{
    const char* name;
    int top;
};
constexpr Row ValueRows[] = {{"MaxView", 40}, {"PT16", 88},  {"ET16", 104}, {"PT32", 120},
                             {"ET32", 136},   {"PT64", 152}, {"ET64", 168}, {"PT128", 184},
                             {"ET128", 200},  {"PLPM", 224}, {"ELPM", 240}};

QPoint upperArrow(int top)
{
    return {184, top + 4};
}
QPoint lowerArrow(int top)
{
    return {184, top + 13};
}
const QPoint SavePlace{149, 273};
const QPoint CancelPlace{53, 273};
const QPoint ColdBreathPlace{184, 72};

} // namespace

class TestFormLevel final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsSitAtTheirPlaces();
    void everyDemoLevelOpens();
    void noAnswerOrFailedOpeningStaysOnMain();
    void arrowsStopAtTheirLimits_data();
    void arrowsStopAtTheirLimits();
    void saveWritesTheArchiveAndReturns();
    void cancelWritesNothing();
    void failedSaveKeepsTheWindow();
    void coldBreathFollowsTheFile();
    void valuesOutOfRangeAndMissingKeys();

private:
    FormLevel* level() const { return m_e->windows.level; }
    FormMain* main() const { return m_e->windows.main; }
    QString shown(const QString& name) const
    {
        return Control<QLabel>(level(), QStringLiteral("Label") + name)->text();
    }
    QScrollBar* bar(const QString& name) const
    {
        return Control<QScrollBar>(level(), QStringLiteral("VScroll") + name);
    }
    CheckPicture* coldBreath() const { return Control<CheckPicture>(level(), "PictureColdBreath"); }
    QString archive(int index) const
    {
        return m_e->mod().ModFolder + QStringLiteral("/Levels/") +
               QString::fromLatin1(Levels::LevelTable.at(index).folderName) + QStringLiteral("/server.ZIP");
    }
    QByteArray savedInitCon(int index) const { return MemberData(ReadZip(archive(index)), "Init.CON"); }
    void open(int index)
    {
        m_e->prompter.questionAnswers = {true};
        level()->editLevel(index, QString::fromLatin1(Levels::LevelTable.at(index).displayName), main()->busyPanel());
    }
    bool onMain() const { return VisibleOnly(m_e->editor) == main(); }

    std::unique_ptr<DemoEditor> m_e;
};

void TestFormLevel::init()
{
    m_e = std::make_unique<DemoEditor>();
    m_e->load(DemoGame::CompleteMod);
    m_e->context.showOnly(main());
    m_e->sounds.played.clear();
}

void TestFormLevel::cleanup()
{
    QCOMPARE(QApplication::overrideCursor(), nullptr); // the busy cursor never outlives an open or a save
    m_e.reset();
}

void TestFormLevel::controlsSitAtTheirPlaces()
{
    QCOMPARE(level()->size(), QSize(201, 289));
    QVERIFY(level()->windowFlags().testFlag(Qt::FramelessWindowHint));
    QList<QPair<QString, QRect>> places{{QStringLiteral("LabelEditing"), {8, 8, 49, 25}},
                                        {QStringLiteral("LabelLevel"), {56, 8, 137, 25}},
                                        {QStringLiteral("LabelWarning"), {8, 24, 185, 17}},
                                        {QStringLiteral("LabelMaxView"), {136, 40, 33, 17}},
                                        {QStringLiteral("PictureColdBreath"), {176, 64, 16, 16}},
                                        {QStringLiteral("LabelLColdBreath"), {8, 64, 160, 17}},
                                        {QStringLiteral("PictureCancel"), {8, 264, 91, 18}},
                                        {QStringLiteral("PictureSave"), {104, 264, 91, 18}}};
    for (const Row& row : ValueRows) {
        const QString name = QLatin1String(row.name);
        places.append({QStringLiteral("VScroll") + name, {176, row.top, 17, 17}});
        places.append({QStringLiteral("LabelL") + name, {8, row.top, row.top == 40 ? 128 : 136, 17}});
        if (row.top != 40)
            places.append({QStringLiteral("Label") + name, {144, row.top, 25, 17}});
    }
    for (const auto& [name, place] : places) {
        const QWidget* control = FindControl(level(), name);
        QVERIFY(control);
        QVERIFY2(control->geometry() == place, qPrintable(name));
    }
    // White bold 9 point text, the titles a little larger; the warning plain red; the values right-aligned.
    for (const QLabel* label : level()->findChildren<QLabel*>()) {
        const QString name = label->objectName();
        const bool warning = name == QLatin1String("LabelWarning");
        const bool title = name == QLatin1String("LabelEditing") || name == QLatin1String("LabelLevel");
        QVERIFY2(label->palette().color(QPalette::WindowText) == QColor(warning ? Qt::red : Qt::white),
                 qPrintable(name));
        QVERIFY2(label->font().bold() != warning, qPrintable(name));
        QVERIFY2(label->font().pointSizeF() == (warning ? 8.25 : title ? 9.75 : 9.0), qPrintable(name));
        if (!name.startsWith(QLatin1String("LabelL")) && !warning && !title)
            QVERIFY2(label->alignment().testFlag(Qt::AlignRight), qPrintable(name));
    }
    QCOMPARE(Caption(level(), "LabelWarning"), QStringLiteral("Edit at your own risk!!"));
    QCOMPARE(Control<QLabel>(level(), "LabelWarning")->alignment(), Qt::AlignCenter);
    QCOMPARE(Control<ImageButton>(level(), "PictureSave")->word(), QStringLiteral("SAVE"));
    QCOMPARE(Control<ImageButton>(level(), "PictureCancel")->word(), QStringLiteral("CANCEL"));
}

void TestFormLevel::everyDemoLevelOpens()
{
    for (int index = 0; index < Levels::LevelCount; ++index) {
        m_e->prompter.clear();
        m_e->sounds.played.clear();
        QList<int> previous;
        for (const Row& row : ValueRows)
            previous.append(bar(QLatin1String(row.name))->value());
        open(index);
        QCOMPARE(m_e->prompter.kinds(), QStringList{QStringLiteral("question")});
        QCOMPARE(m_e->prompter.texts().first(), QStringLiteral("Opening & changing ANY files will prevent online "
                                                               "play with this mod.\r\nDo you still want to edit "
                                                               "this level?"));
        QCOMPARE(VisibleOnly(m_e->editor), level());
        QVERIFY(!main()->busyPanel()->isVisibleTo(main()));
        QCOMPARE(Caption(level(), "LabelLevel"), QString::fromLatin1(Levels::LevelTable.at(index).displayName));
        QCOMPARE(shown(QStringLiteral("MaxView")), QString::number(600 + index * 25));
        QCOMPARE(bar(QStringLiteral("MaxView"))->value(), 600 + index * 25);
        QCOMPARE(shown(QStringLiteral("PT128")), QString::number((100 + index * 10) * 4));
        QCOMPARE(bar(QStringLiteral("ELPM"))->value(), 10 + index % 5);
        QCOMPARE(coldBreath()->isOn(), index % 3 == 0);
        // Sound 3 once for every bar whose value the opening changed, and for no other.
        int changed = 0;
        for (size_t i = 0; i < std::size(ValueRows); ++i)
            changed += bar(QLatin1String(ValueRows[i].name))->value() != previous.at(qsizetype(i)) ? 1 : 0;
        QCOMPARE(m_e->sounds.played, QList<ClickSound>(changed, ClickSound::BarOrSlider));
        if (index == 8) {
            QCOMPARE(QColor(level()->grab().toImage().pixel(0, 0)), QColor(Qt::white)); // the frame line
            SaveScreenshot(level(), QStringLiteral("FormLevel.png"));
        }
        ClickAt(level(), CancelPlace);
        QVERIFY(onMain());
    }
}

void TestFormLevel::noAnswerOrFailedOpeningStaysOnMain()
{
    m_e->prompter.questionAnswers = {false};
    level()->editLevel(8, QStringLiteral("Merrow Harbour"), main()->busyPanel());
    QCOMPARE(m_e->prompter.kinds(), QStringList{QStringLiteral("question")});
    QVERIFY(onMain());
    QVERIFY(!QFileInfo::exists(m_e->mod().ModFolder + QStringLiteral("/Levels/Merrow_Harbor/TEMP")));
    QVERIFY(m_e->sounds.played.isEmpty());

    m_e->prompter.clear();
    QVERIFY(QFile::remove(archive(5)));
    open(5);
    QCOMPARE(m_e->prompter.kinds(), QStringList({QStringLiteral("question"), QStringLiteral("critical")}));
    QCOMPARE(m_e->prompter.texts().last(), QStringLiteral("Unable to read level data."));
    QVERIFY(onMain());
    QVERIFY(!main()->busyPanel()->isVisibleTo(main()));
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
    m_e->sounds.played.clear();
    const QPoint at = upper ? upperArrow(top) : lowerArrow(top);
    ClickAt(level(), at);
    QCOMPARE(bar(name)->value(), expected);
    QCOMPARE(shown(name), QString::number(expected));
    QCOMPARE(m_e->sounds.played, expected == start ? QList<ClickSound>() : QList<ClickSound>{ClickSound::BarOrSlider});
    // Other buttons do nothing.
    QTest::mouseClick(bar(name), Qt::RightButton, Qt::NoModifier, bar(name)->mapFrom(level(), at));
    QCOMPARE(bar(name)->value(), expected);
}

void TestFormLevel::saveWritesTheArchiveAndReturns()
{
    open(8);
    ClickAt(level(), lowerArrow(40)); // 800 -> 801
    ClickAt(level(), upperArrow(184));
    ClickAt(level(), upperArrow(184)); // 720 -> 718
    ClickAt(level(), ColdBreathPlace);
    m_e->sounds.played.clear();
    ClickAt(level(), SavePlace);
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
    QCOMPARE(m_e->prompter.kinds().last(), QStringLiteral("information"));
    QCOMPARE(m_e->prompter.texts().last(), QStringLiteral("Level data saved."));
    QVERIFY(onMain());
    const QByteArray saved = savedInitCon(8);
    QVERIFY(saved.contains("gameLogic.maximumLevelViewDistance 801\r\n"));
    QVERIFY(saved.contains("gameLogic.setDefaultNumberOfTicketsEx 128 1 718\r\n"));
    QVERIFY(saved.contains("gameLogic.useColdBreath 1\r\n"));
    QCOMPARE(saved, ReadBytes(m_e->mod().ModFolder + QStringLiteral("/Levels/Merrow_Harbor/TEMP/Init.CON")));
}

void TestFormLevel::cancelWritesNothing()
{
    const QByteArray before = ReadBytes(archive(0));
    open(0);
    ClickAt(level(), lowerArrow(40));
    ClickAt(level(), ColdBreathPlace);
    m_e->sounds.played.clear();
    ClickAt(level(), CancelPlace);
    QCOMPARE(m_e->sounds.played, QList<ClickSound>{ClickSound::Button});
    QVERIFY(onMain());
    QCOMPARE(ReadBytes(archive(0)), before);
    QCOMPARE(m_e->prompter.kinds(), QStringList{QStringLiteral("question")});

    // Opening again shows the archive's values, not the cancelled ones.
    open(0);
    QCOMPARE(shown(QStringLiteral("MaxView")), QStringLiteral("600"));
    QVERIFY(coldBreath()->isOn());

    // Closing through the window system is a Cancel too.
    level()->close();
    QVERIFY(onMain());
    QCOMPARE(ReadBytes(archive(0)), before);
}

void TestFormLevel::failedSaveKeepsTheWindow()
{
    open(11);
    ClickAt(level(), lowerArrow(88));
    const QString value = shown(QStringLiteral("PT16"));
    WriteBytes(archive(11), "damaged meanwhile");
    ClickAt(level(), SavePlace);
    QCOMPARE(m_e->prompter.kinds().last(), QStringLiteral("critical"));
    QVERIFY(m_e->prompter.texts().last().startsWith(QLatin1String("Unable to save level data.")));
    QCOMPARE(VisibleOnly(m_e->editor), level());
    QCOMPARE(shown(QStringLiteral("PT16")), value);
    QCOMPARE(ReadBytes(archive(11)), QByteArray("damaged meanwhile"));
}

void TestFormLevel::coldBreathFollowsTheFile()
{
    open(1); // off in the file
    QVERIFY(!coldBreath()->isOn());
    m_e->sounds.played.clear();
    ClickAt(level(), ColdBreathPlace);
    QVERIFY(coldBreath()->isOn());
    ClickAt(level(), ColdBreathPlace);
    QVERIFY(!coldBreath()->isOn());
    QCOMPARE(m_e->sounds.played, QList<ClickSound>(2, ClickSound::ListOrCheck));
    ClickAt(level(), CancelPlace);

    // No cold-breath line: the check is off and takes no clicks; the save adds no line.
    QByteArray init = DemoGame::InitCon(3);
    init.replace("gameLogic.useColdBreath 1\r\n", "");
    QVERIFY(DemoGame::WriteZip(archive(3), {{QStringLiteral("Init.CON"), init}}).isEmpty());
    open(3);
    QVERIFY(!coldBreath()->isOn() && !coldBreath()->isEnabled());
    ClickAt(level(), ColdBreathPlace);
    QVERIFY(!coldBreath()->isOn());
    ClickAt(level(), SavePlace);
    QCOMPARE(savedInitCon(3), init);
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
    QCOMPARE(shown(QStringLiteral("MaxView")), QStringLiteral("1500"));
    QCOMPARE(bar(QStringLiteral("MaxView"))->value(), 999);
    QCOMPARE(shown(QStringLiteral("PT16")), QStringLiteral("0"));
    QCOMPARE(bar(QStringLiteral("PT16"))->value(), 1);
    QCOMPARE(shown(QStringLiteral("ET16")), QStringLiteral("50"));
    QVERIFY(!bar(QStringLiteral("ELPM"))->isEnabled());
    QCOMPARE(shown(QStringLiteral("ELPM")), QStringLiteral("-"));

    // Saved untouched: every value is written back as the file had it.
    ClickAt(level(), SavePlace);
    QCOMPARE(savedInitCon(2), init);

    // A change by the user is written whole, with nothing of the old digits left.
    open(2);
    ClickAt(level(), upperArrow(40));
    QCOMPARE(shown(QStringLiteral("MaxView")), QStringLiteral("998"));
    ClickAt(level(), lowerArrow(240)); // disabled: nothing happens
    ClickAt(level(), SavePlace);
    QCOMPARE(savedInitCon(2), QByteArray(init).replace("ViewDistance 1500", "ViewDistance 998"));
}

QTEST_MAIN(TestFormLevel)
#include "tst_formlevel.moc"
