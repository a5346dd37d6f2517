#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "tests/support/WindowTestSupport.h"
#include "tools/demogame/DemoGame.h"
#include "widgets/BotNameInput.h"
#include "windows/EditorContext.h"
#include "windows/FormEdit.h"
#include "windows/FormMain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <memory>

namespace {

const QPoint AcceptPlace{104 + 45, 56 + 9};
const QPoint CancelPlace{8 + 45, 56 + 9};
const QPoint UpperArrow{176 + 8, 32 + 4};
const QPoint LowerArrow{176 + 8, 32 + 13};

} // namespace

class TestFormEdit final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_e.reset(); }
    void controlsSitAtTheirPlaces();
    void editsABotName();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void nameBoxTakesOneWindows1252Line();
    void editsAScore();
    void keepsAScoreOutsideTheRange();
    void handsOverToTheMainWindow();

private:
    FormEdit* edit() const { return m_e->windows.edit; }
    ModSettings& mod() const { return m_e->mod(); }
    QList<ClickSound>& sounds() const { return m_e->sounds.played; }
    QLineEdit* nameBox() const { return Control<QLineEdit>(edit(), "TextBotName"); }
    QString text(const char* name) const { return Caption(edit(), name); }
    QScrollBar* bar() const { return Control<QScrollBar>(edit(), "VScrollNum"); }
    void click(QPoint at) const { ClickAt(edit(), at); }
    void expectShown(QWidget* window) const { QCOMPARE(VisibleOnly(m_e->editor), window); }
    // Which of the two modes' controls show: the name box, or the score's caption, value and bar.
    void expectMode(bool score) const
    {
        QCOMPARE(nameBox()->isVisible(), !score);
        for (const char* name : {"LabelLScore", "LabelScore", "VScrollNum"})
            QVERIFY2(Control<QWidget>(edit(), name)->isVisible() == score, name);
        QCOMPARE(text("LabelLEditing"),
                 score ? QStringLiteral("Editing Score: ") : QStringLiteral("Editing Bot Name: "));
    }
    void setName(const QString& name) const
    {
        QTest::keyClick(nameBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(nameBox(), Qt::Key_Delete);
        QTest::keyClicks(nameBox(), name);
        QCOMPARE(nameBox()->text(), name);
    }

    std::unique_ptr<DemoEditor> m_e;
};

void TestFormEdit::init()
{
    m_e = std::make_unique<DemoEditor>();
    m_e->load(DemoGame::CompleteMod);
    QCOMPARE(mod().ScoreValues().size(), 68);
    // The main window is up, as after the mod selection.
    m_e->context.showOnly(m_e->windows.main);
    sounds().clear();
}

void TestFormEdit::controlsSitAtTheirPlaces()
{
    const struct
    {
        const char* name;
        QRect place;
        bool score;
    } controls[] = {{"LabelLEditing", {8, 8, 185, 25}, false}, {"TextBotName", {8, 32, 185, 19}, false},
                    {"LabelLScore", {8, 32, 137, 17}, true},   {"LabelScore", {136, 32, 33, 17}, true},
                    {"VScrollNum", {176, 32, 17, 17}, true},   {"PictureAccept", {104, 56, 91, 18}, false},
                    {"PictureCancel", {8, 56, 91, 18}, true}};
    for (const auto& c : controls) {
        if (c.score)
            edit()->BeginScoreEdit(0);
        else
            edit()->BeginBotNameEdit(0);
        QWidget* control = Control<QWidget>(edit(), c.name);
        QVERIFY(control);
        QVERIFY2(control->geometry() == c.place && control->isVisible(), c.name);
        // The control is what a click on its middle reaches (nothing hidden or stacked over it).
        QWidget* hit = edit()->childAt(c.place.center());
        QVERIFY2(hit == control || control->isAncestorOf(hit), c.name);
    }
    QCOMPARE(edit()->size(), QSize(201, 81));
    QVERIFY(edit()->windowFlags().testFlag(Qt::FramelessWindowHint));
}

void TestFormEdit::editsABotName()
{
    // An empty name is refused without a box; the window stays up.
    edit()->BeginBotNameEdit(0);
    setName(QString());
    click(AcceptPlace);
    QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
    expectShown(edit());
    QCOMPARE(mod().BotNames(), DemoGame::BotNames);

    // Switched from score mode, the window shows the name and only the name box.
    edit()->BeginScoreEdit(5);
    click(CancelPlace);
    edit()->BeginBotNameEdit(1);
    expectShown(edit());
    QVERIFY(edit()->EditingBotName());
    QCOMPARE(edit()->EditIndex(), 1);
    QCOMPARE(nameBox()->text(), QStringLiteral("Vargo Ash"));
    expectMode(false);
    SaveScreenshot(edit(), QStringLiteral("FormEdit-name.png"));

    // Blanks alone are a name too, kept exactly as typed; the scores stay as they were.
    const QStringList lines = mod().ScoreLines();
    setName(QStringLiteral("   "));
    QSignalSpy changed(&mod(), &ModSettings::botNamesChanged);
    sounds().clear();
    click(AcceptPlace);
    QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
    expectShown(m_e->windows.main);
    QCOMPARE(changed.size(), 1);
    QStringList expected = DemoGame::BotNames;
    expected[1] = QStringLiteral("   ");
    QCOMPARE(mod().BotNames(), expected);
    QCOMPARE(mod().ScoreLines(), lines);
    QVERIFY(m_e->prompter.boxes.isEmpty());

    // Return in the box accepts as well, and the saved file holds what was accepted.
    edit()->BeginBotNameEdit(5);
    setName(QStringLiteral("Zell the Younger"));
    QTest::keyClick(nameBox(), Qt::Key_Return);
    QVERIFY(!edit()->isVisible());
    expected[5] = QStringLiteral("Zell the Younger");
    QVERIFY(ModFiles::SaveMod(mod(), {ModFile::BotNames}).failedFiles.isEmpty());
    QCOMPARE(ReadBytes(mod().filePath(ModFile::BotNames)), DemoGame::BotNamesFile(expected));
}

void TestFormEdit::cancelChangesNothing_data()
{
    QTest::addColumn<bool>("scoreMode");
    QTest::addColumn<int>("way"); // 0 the Cancel button, 1 closing the window, 2 Escape
    QTest::newRow("name, Cancel") << false << 0;
    QTest::newRow("name, closed") << false << 1;
    QTest::newRow("name, Escape") << false << 2;
    QTest::newRow("score, Cancel") << true << 0;
    QTest::newRow("score, closed") << true << 1;
}

void TestFormEdit::cancelChangesNothing()
{
    QFETCH(bool, scoreMode);
    QFETCH(int, way);
    const QStringList lines = mod().ScoreLines();
    const QList<int> values = mod().ScoreValues();
    if (scoreMode) {
        edit()->BeginScoreEdit(3);
        click(LowerArrow);
        click(LowerArrow);
        QCOMPARE(text("LabelScore"), QString::number(values.at(3) + 2));
    } else {
        edit()->BeginBotNameEdit(2);
        setName(QStringLiteral("Someone Else"));
    }
    sounds().clear();
    if (way == 0) {
        click(CancelPlace);
        QCOMPARE(sounds(), QList<ClickSound>{ClickSound::Button});
    } else if (way == 1) {
        edit()->close();
    } else {
        QTest::keyClick(nameBox(), Qt::Key_Escape);
    }
    expectShown(m_e->windows.main);
    QCOMPARE(mod().BotNames(), DemoGame::BotNames);
    QCOMPARE(mod().ScoreLines(), lines);
    QCOMPARE(mod().ScoreValues(), values);
    QVERIFY(m_e->prompter.boxes.isEmpty());
}

void TestFormEdit::nameBoxTakesOneWindows1252Line()
{
    edit()->BeginBotNameEdit(0);
    setName(QStringLiteral("Caf"));
    QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u00e9"), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u20ac"), Qt::NoModifier);
    QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9\u20ac"));

    // A character the 8-bit file cannot hold is left out, and the user is told why.
    QToolTip::hideText();
    QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u0141"), Qt::NoModifier);
    QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9\u20ac"));
    QCOMPARE(QToolTip::text(), BotNameInput::Hint());

    // A pasted text keeps its first line, without the characters the file cannot hold.
    QGuiApplication::clipboard()->setText(QStringLiteral(" R\u00f6\u0107k\r\nsecond line"));
    QTest::keyClick(nameBox(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9\u20ac R\u00f6k"));
    QCOMPARE(nameBox()->cursorPosition(), 9);
    QTest::keyClicks(nameBox(), QStringLiteral("!"));
    click(AcceptPlace);
    QCOMPARE(mod().BotNames().first(), QStringLiteral("Caf\u00e9\u20ac R\u00f6k!"));
}

void TestFormEdit::editsAScore()
{
    // Switched from name mode, the window shows the score and not the name box, which it empties.
    edit()->BeginBotNameEdit(3);
    setName(QStringLiteral("Not Accepted"));
    click(CancelPlace);
    edit()->BeginScoreEdit(0);
    QVERIFY(!edit()->EditingBotName());
    QCOMPARE(edit()->EditIndex(), 0);
    expectMode(true);
    QCOMPARE(nameBox()->text(), QString());
    QCOMPARE(text("LabelLScore"), QStringLiteral("SCORE_KILL"));
    QCOMPARE(Control<QLabel>(edit(), "LabelLScore")->toolTip(), QStringLiteral("SCORE_KILL"));
    QCOMPARE(text("LabelScore"), QStringLiteral("1"));
    QCOMPARE(bar()->minimum(), -200);
    QCOMPARE(bar()->maximum(), 200);
    QCOMPARE(bar()->pageStep(), 1);
    SaveScreenshot(edit(), QStringLiteral("FormEdit-score.png"));

    // The lower arrow raises, the upper arrow lowers; each change plays the bar's sound.
    sounds().clear();
    for (QPoint arrow : {LowerArrow, LowerArrow, LowerArrow, UpperArrow})
        click(arrow);
    QCOMPARE(text("LabelScore"), QStringLiteral("3"));
    QCOMPARE(sounds(), QList<ClickSound>(4, ClickSound::BarOrSlider));
    click(AcceptPlace);
    QVERIFY(!edit()->isVisible());
    QCOMPARE(mod().ScoreValues().at(0), 3);
    QCOMPARE(mod().ScoreLines().at(0), QStringLiteral("SCORE_KILL = 3"));
    QCOMPARE(mod().BotNames(), DemoGame::BotNames);

    // A negative value, accepted without touching the arrows: the row is rewritten in the file's form.
    edit()->BeginScoreEdit(1);
    QCOMPARE(text("LabelScore"), QStringLiteral("-4"));
    click(AcceptPlace);
    QCOMPARE(mod().ScoreLines().at(1), QStringLiteral("SCORE_TEAMKILL = -4"));

    // Opening plays the bar's sound only when the shown value changes (rows 3 and 26 both hold 22).
    QCOMPARE(mod().ScoreValues().at(3), mod().ScoreValues().at(26));
    edit()->BeginScoreEdit(3);
    click(CancelPlace);
    sounds().clear();
    edit()->BeginScoreEdit(26);
    QCOMPARE(sounds(), QList<ClickSound>{});
    QCOMPARE(text("LabelLScore"), QStringLiteral("SCORE_TITANATTACKBONUS"));
    click(CancelPlace);

    // The arrows stop at both ends, silently past them.
    for (const auto& [start, arrow, limit] : {std::tuple{198, LowerArrow, 200}, std::tuple{-198, UpperArrow, -200}}) {
        mod().setScoreValue(4, start);
        edit()->BeginScoreEdit(4);
        sounds().clear();
        for (int i = 0; i < 5; ++i)
            click(arrow);
        QCOMPARE(text("LabelScore"), QString::number(limit));
        QCOMPARE(sounds(), QList<ClickSound>(2, ClickSound::BarOrSlider));
        click(AcceptPlace);
        QCOMPARE(mod().ScoreValues().at(4), limit);
    }
}

void TestFormEdit::keepsAScoreOutsideTheRange()
{
    const QString scoring = mod().filePath(ModFile::Scoring);
    QByteArray bytes = ReadBytes(scoring);
    QVERIFY(bytes.contains("\r\nSCORE_KILL = 1\r\n"));
    bytes.replace("\r\nSCORE_KILL = 1\r\n", "\r\nSCORE_KILL = 500\r\n");
    bytes.replace("\r\nSCORE_TEAMKILL = -4\r\n", "\r\nSCORE_TEAMKILL = -1000\r\n");
    WriteBytes(scoring, bytes);
    QVERIFY(ModFiles::LoadMod(mod()).unreadableFiles.isEmpty());

    edit()->BeginScoreEdit(0);
    QCOMPARE(text("LabelScore"), QStringLiteral("500"));
    QCOMPARE(bar()->value(), 500);
    QCOMPARE(bar()->maximum(), 500);
    click(AcceptPlace);
    edit()->BeginScoreEdit(1);
    QCOMPARE(text("LabelScore"), QStringLiteral("-1000"));
    QCOMPARE(bar()->minimum(), -1000);
    QCOMPARE(bar()->maximum(), 200);
    click(AcceptPlace);
    QCOMPARE(mod().ScoreValues().mid(0, 2), (QList<int>{500, -1000}));
    QVERIFY(ModFiles::SaveMod(mod(), {ModFile::Scoring}).failedFiles.isEmpty());
    QCOMPARE(ReadBytes(scoring), bytes);

    // The next edit is back within the usual range, and its opening counts as one change.
    sounds().clear();
    edit()->BeginScoreEdit(2);
    QCOMPARE(bar()->minimum(), -200);
    QCOMPARE(bar()->maximum(), 200);
    QCOMPARE(text("LabelScore"), QStringLiteral("-2"));
    QCOMPARE(sounds(), QList<ClickSound>{ClickSound::BarOrSlider});

    // Moving away from an outside value works from the true value.
    click(CancelPlace);
    edit()->BeginScoreEdit(0);
    click(UpperArrow);
    QCOMPARE(text("LabelScore"), QStringLiteral("499"));
    click(AcceptPlace);
    QCOMPARE(mod().ScoreValues().at(0), 499);
}

void TestFormEdit::handsOverToTheMainWindow()
{
    // From the main window's lists, by a double-click on a row, and back with the new value shown.
    FormMain* main = m_e->windows.main;
    auto* scores = Control<QListWidget>(main, "ListScores");
    DoubleClick(scores->viewport(), scores->visualItemRect(scores->item(2)).center());
    QCOMPARE(sounds().value(0), ClickSound::ListOrCheck);
    expectShown(edit());
    QCOMPARE(edit()->EditIndex(), 2);
    QCOMPARE(text("LabelLScore"), QStringLiteral("SCORE_SUICIDE"));
    click(UpperArrow);
    click(AcceptPlace);
    expectShown(main);
    QCOMPARE(scores->item(2)->text(), QStringLiteral("SCORE_SUICIDE = -3"));

    auto* names = Control<QListWidget>(main, "ListBotNames");
    DoubleClick(names->viewport(), names->visualItemRect(names->item(4)).center());
    expectShown(edit());
    QCOMPARE(nameBox()->text(), QStringLiteral("Brannoch"));
    QTest::keyClicks(nameBox(), QStringLiteral(" II"));
    click(AcceptPlace);
    expectShown(main);
    QCOMPARE(names->item(4)->text(), QStringLiteral("Brannoch II"));
}

QTEST_MAIN(TestFormEdit)
#include "tst_formedit.moc"
