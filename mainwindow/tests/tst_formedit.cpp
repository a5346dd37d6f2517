#include "mainwindow/BotNameInput.h"
#include "mainwindow/FormEdit.h"

#include "mainwindow/FormMain.h"
#include "mainwindow/SpinBar.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "shell/EditorContext.h"
#include "shell/ImageButton.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

namespace {

// A click where the user would click: on whatever control covers that pixel of the window.
void clickAt(QWidget* window, QPoint position)
{
    QWidget* target = window->childAt(position);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(window, position));
}

const QPoint AcceptPlace{104 + 45, 56 + 9};
const QPoint CancelPlace{8 + 45, 56 + 9};
const QPoint UpperArrow{176 + 8, 32 + 4};
const QPoint LowerArrow{176 + 8, 32 + 13};

void saveScreenshot(QWidget* window, const QString& name)
{
    const QString folder = qEnvironmentVariable("GX_ARTIFACTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QVERIFY(window->grab().save(folder + QLatin1Char('/') + name));
}

} // namespace

class TestFormEdit final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsSitAtTheirPlaces_data();
    void controlsSitAtTheirPlaces();
    void editsABotName();
    void refusesAnEmptyNameSilently();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void nameBoxTakesOneLatin1Line();
    void editsAScore();
    void arrowsStopAtTheirLimits_data();
    void arrowsStopAtTheirLimits();
    void openingPlaysTheBarSoundOnlyOnAChange();
    void keepsAScoreOutsideTheRange();
    void switchesBetweenTheTwoModes();
    void handsOverToTheMainWindow();

private:
    QLineEdit* nameBox() const { return m_edit->findChild<QLineEdit*>(QStringLiteral("TextBotName")); }
    QLabel* label(const char* name) const { return m_edit->findChild<QLabel*>(QLatin1String(name)); }
    QScrollBar* bar() const { return m_edit->findChild<QScrollBar*>(QStringLiteral("VScrollNum")); }
    void setName(const QString& text);

    std::unique_ptr<DemoGameFolder> m_game;
    std::unique_ptr<ModSettings> m_mod;
    RecordingPrompter m_prompter;
    RecordingSounds m_sounds;
    IntroSwitch m_intro;
    std::unique_ptr<EditorContext> m_context;
    std::unique_ptr<FormMain> m_main;
    std::unique_ptr<FormEdit> m_edit;
};

void TestFormEdit::init()
{
    m_game = std::make_unique<DemoGameFolder>();
    m_mod = std::make_unique<ModSettings>();
    m_prompter.clear();
    m_context = std::make_unique<EditorContext>(*m_mod, m_prompter, m_sounds, m_intro);
    m_main = std::make_unique<FormMain>(*m_context);
    m_edit = std::make_unique<FormEdit>(*m_context);
    m_context->main = m_main.get();
    m_context->edit = m_edit.get();
    m_mod->ModFolder = m_game->mod(DemoGame::CompleteMod);
    QVERIFY(LoadMod(*m_mod).unreadableFiles.isEmpty());
    QCOMPARE(m_mod->ScoreValues().size(), 68);
    // The main window is up, as after the mod selection.
    m_context->showOnly(m_main.get());
    m_sounds.played.clear();
}

void TestFormEdit::cleanup()
{
    m_edit.reset();
    m_main.reset();
    m_context.reset();
    m_mod.reset();
    m_game.reset();
}

void TestFormEdit::setName(const QString& text)
{
    QLineEdit* box = nameBox();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QCOMPARE(box->text(), text);
}

void TestFormEdit::controlsSitAtTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<bool>("scoreMode");
    QTest::newRow("LabelLEditing") << QStringLiteral("LabelLEditing") << QRect(8, 8, 185, 25) << false;
    QTest::newRow("TextBotName") << QStringLiteral("TextBotName") << QRect(8, 32, 185, 19) << false;
    QTest::newRow("LabelLScore") << QStringLiteral("LabelLScore") << QRect(8, 32, 137, 17) << true;
    QTest::newRow("LabelScore") << QStringLiteral("LabelScore") << QRect(136, 32, 33, 17) << true;
    QTest::newRow("VScrollNum") << QStringLiteral("VScrollNum") << QRect(176, 32, 17, 17) << true;
    QTest::newRow("PictureAccept") << QStringLiteral("PictureAccept") << QRect(104, 56, 91, 18) << false;
    QTest::newRow("PictureCancel") << QStringLiteral("PictureCancel") << QRect(8, 56, 91, 18) << true;
}

void TestFormEdit::controlsSitAtTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(bool, scoreMode);
    QCOMPARE(m_edit->size(), QSize(201, 81));
    QVERIFY(m_edit->windowFlags().testFlag(Qt::FramelessWindowHint));
    if (scoreMode)
        m_edit->BeginScoreEdit(0);
    else
        m_edit->BeginBotNameEdit(0);
    QWidget* control = m_edit->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), place);
    QVERIFY(control->isVisible());
    // The control is what a click on its middle reaches (nothing hidden or stacked over it).
    QWidget* hit = m_edit->childAt(place.center());
    QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(hit ? hit->objectName() : QString()));
}

void TestFormEdit::editsABotName()
{
    m_edit->BeginBotNameEdit(1);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_edit.get()});
    QVERIFY(m_edit->EditingBotName());
    QCOMPARE(m_edit->EditIndex(), 1);
    QCOMPARE(label("LabelLEditing")->text(), QStringLiteral("Editing Bot Name: "));
    QCOMPARE(nameBox()->text(), QStringLiteral("Vargo Ash"));
    QVERIFY(nameBox()->isVisible());
    QVERIFY(!bar()->isVisible());
    QVERIFY(!label("LabelScore")->isVisible());
    QVERIFY(!label("LabelLScore")->isVisible());
    saveScreenshot(m_edit.get(), QStringLiteral("FormEdit-name.png"));

    // Blanks alone are a name too, kept exactly as typed.
    setName(QStringLiteral("   "));
    QSignalSpy changed(m_mod.get(), &ModSettings::botNamesChanged);
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(changed.size(), 1);
    QStringList expected = DemoGame::BotNames;
    expected[1] = QStringLiteral("   ");
    QCOMPARE(m_mod->BotNames(), expected);
    QVERIFY(m_prompter.boxes.isEmpty());

    // Return in the box accepts as well.
    m_edit->BeginBotNameEdit(5);
    setName(QStringLiteral("Zell the Younger"));
    QTest::keyClick(nameBox(), Qt::Key_Return);
    QVERIFY(!m_edit->isVisible());
    QCOMPARE(m_mod->BotNames().at(5), QStringLiteral("Zell the Younger"));

    // The saved file holds what was accepted.
    SaveMod(*m_mod, false, false, false, true);
    expected[5] = QStringLiteral("Zell the Younger");
    QCOMPARE(ReadBytes(m_mod->filePath(ModFile::BotNames)), DemoGame::BotNamesFile(expected));
}

void TestFormEdit::refusesAnEmptyNameSilently()
{
    m_edit->BeginBotNameEdit(0);
    setName(QString());
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_sounds.played, QList<int>{1});
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_edit.get()});
    QVERIFY(m_prompter.boxes.isEmpty());
    QCOMPARE(m_mod->BotNames(), DemoGame::BotNames);

    // The dialog is still usable: a name then closes it.
    QTest::keyClicks(nameBox(), QStringLiteral("Kite"));
    clickAt(m_edit.get(), AcceptPlace);
    QVERIFY(!m_edit->isVisible());
    QCOMPARE(m_mod->BotNames().first(), QStringLiteral("Kite"));
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
    const QStringList lines = m_mod->ScoreLines();
    const QList<int> values = m_mod->ScoreValues();
    if (scoreMode) {
        m_edit->BeginScoreEdit(3);
        clickAt(m_edit.get(), LowerArrow);
        clickAt(m_edit.get(), LowerArrow);
        QCOMPARE(label("LabelScore")->text(), QString::number(values.at(3) + 2));
    } else {
        m_edit->BeginBotNameEdit(2);
        setName(QStringLiteral("Someone Else"));
    }
    m_sounds.played.clear();
    if (way == 0) {
        clickAt(m_edit.get(), CancelPlace);
        QCOMPARE(m_sounds.played, QList<int>{1});
    } else if (way == 1) {
        m_edit->close();
    } else {
        QTest::keyClick(nameBox(), Qt::Key_Escape);
    }
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(m_mod->BotNames(), DemoGame::BotNames);
    QCOMPARE(m_mod->ScoreLines(), lines);
    QCOMPARE(m_mod->ScoreValues(), values);
    QVERIFY(m_prompter.boxes.isEmpty());
}

void TestFormEdit::nameBoxTakesOneLatin1Line()
{
    m_edit->BeginBotNameEdit(0);
    setName(QStringLiteral("Caf"));
    QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u00e9"), Qt::NoModifier);
    QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9"));

    // A character the 8-bit file cannot hold is left out, and the user is told why.
    QToolTip::hideText();
    QTest::sendKeyEvent(QTest::Click, nameBox(), Qt::Key_unknown, QStringLiteral("\u0141"), Qt::NoModifier);
    QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9"));
    QCOMPARE(QToolTip::text(), BotNameInput::Hint());

    // A pasted text keeps its first line, without the characters the file cannot hold.
    QGuiApplication::clipboard()->setText(QStringLiteral(" R\u00f6\u0107k\r\nsecond line"));
    QTest::keyClick(nameBox(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(nameBox()->text(), QStringLiteral("Caf\u00e9 R\u00f6k"));
    QCOMPARE(nameBox()->cursorPosition(), 8);
    QTest::keyClicks(nameBox(), QStringLiteral("!"));
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->BotNames().first(), QStringLiteral("Caf\u00e9 R\u00f6k!"));
}

void TestFormEdit::editsAScore()
{
    m_edit->BeginScoreEdit(0);
    QVERIFY(m_edit->isVisible());
    QVERIFY(!m_edit->EditingBotName());
    QCOMPARE(m_edit->EditIndex(), 0);
    QCOMPARE(label("LabelLEditing")->text(), QStringLiteral("Editing Score: "));
    QCOMPARE(label("LabelLScore")->text(), QStringLiteral("SCORE_KILL"));
    QCOMPARE(label("LabelLScore")->toolTip(), QStringLiteral("SCORE_KILL"));
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("1"));
    QVERIFY(!nameBox()->isVisible());
    QVERIFY(bar()->isVisible() && label("LabelScore")->isVisible() && label("LabelLScore")->isVisible());
    QCOMPARE(bar()->minimum(), -200);
    QCOMPARE(bar()->maximum(), 200);
    QCOMPARE(bar()->singleStep(), 1);
    QCOMPARE(bar()->pageStep(), 1);
    saveScreenshot(m_edit.get(), QStringLiteral("FormEdit-score.png"));

    // The lower arrow raises, the upper arrow lowers; each change plays the bar's sound.
    m_sounds.played.clear();
    clickAt(m_edit.get(), LowerArrow);
    clickAt(m_edit.get(), LowerArrow);
    clickAt(m_edit.get(), LowerArrow);
    clickAt(m_edit.get(), UpperArrow);
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("3"));
    QCOMPARE(m_sounds.played, (QList<int>{3, 3, 3, 3}));

    clickAt(m_edit.get(), AcceptPlace);
    QVERIFY(!m_edit->isVisible());
    QCOMPARE(m_mod->ScoreValues().at(0), 3);
    QCOMPARE(m_mod->ScoreLines().at(0), QStringLiteral("SCORE_KILL = 3"));

    // A negative value, accepted without touching the arrows: the row is rewritten in the file's form.
    m_edit->BeginScoreEdit(1);
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("-4"));
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->ScoreValues().at(1), -4);
    QCOMPARE(m_mod->ScoreLines().at(1), QStringLiteral("SCORE_TEAMKILL = -4"));
}

void TestFormEdit::arrowsStopAtTheirLimits_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<int>("limit");
    QTest::newRow("lower arrow") << 198 << false << 200;
    QTest::newRow("upper arrow") << -198 << true << -200;
}

void TestFormEdit::arrowsStopAtTheirLimits()
{
    QFETCH(int, start);
    QFETCH(bool, upper);
    QFETCH(int, limit);
    m_mod->setScoreValue(4, start);
    m_edit->BeginScoreEdit(4);
    m_sounds.played.clear();
    for (int i = 0; i < 5; ++i)
        clickAt(m_edit.get(), upper ? UpperArrow : LowerArrow);
    QCOMPARE(bar()->value(), limit);
    QCOMPARE(label("LabelScore")->text(), QString::number(limit));
    QCOMPARE(m_sounds.played, (QList<int>{3, 3}));
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->ScoreValues().at(4), limit);
}

void TestFormEdit::openingPlaysTheBarSoundOnlyOnAChange()
{
    // Rows 3 and 26 of the demo mod hold the same value (22); row 0 holds 1.
    QCOMPARE(m_mod->ScoreValues().at(3), m_mod->ScoreValues().at(26));
    m_edit->BeginScoreEdit(3);
    QCOMPARE(m_sounds.played, QList<int>{3});
    clickAt(m_edit.get(), CancelPlace);
    m_sounds.played.clear();
    m_edit->BeginScoreEdit(26);
    QCOMPARE(m_sounds.played, QList<int>{});
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("22"));
    QCOMPARE(label("LabelLScore")->text(), QStringLiteral("SCORE_TITANATTACKBONUS"));
    clickAt(m_edit.get(), CancelPlace);
    m_sounds.played.clear();
    m_edit->BeginScoreEdit(0);
    QCOMPARE(m_sounds.played, QList<int>{3});
}

void TestFormEdit::keepsAScoreOutsideTheRange()
{
    const QString scoring = m_mod->filePath(ModFile::Scoring);
    QByteArray bytes = ReadBytes(scoring);
    QVERIFY(bytes.contains("\r\nSCORE_KILL = 1\r\n"));
    bytes.replace("\r\nSCORE_KILL = 1\r\n", "\r\nSCORE_KILL = 500\r\n");
    bytes.replace("\r\nSCORE_TEAMKILL = -4\r\n", "\r\nSCORE_TEAMKILL = -1000\r\n");
    WriteBytes(scoring, bytes);
    QVERIFY(LoadMod(*m_mod).unreadableFiles.isEmpty());
    QCOMPARE(m_mod->ScoreValues().mid(0, 2), (QList<int>{500, -1000}));

    m_edit->BeginScoreEdit(0);
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("500"));
    QCOMPARE(bar()->value(), 500);
    QCOMPARE(bar()->maximum(), 500);
    QCOMPARE(bar()->minimum(), -200);
    clickAt(m_edit.get(), AcceptPlace);
    m_edit->BeginScoreEdit(1);
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("-1000"));
    QCOMPARE(bar()->value(), -1000);
    QCOMPARE(bar()->minimum(), -1000);
    QCOMPARE(bar()->maximum(), 200);
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->ScoreValues().mid(0, 2), (QList<int>{500, -1000}));
    QCOMPARE(m_mod->ScoreLines().mid(0, 2),
             (QStringList{QStringLiteral("SCORE_KILL = 500"), QStringLiteral("SCORE_TEAMKILL = -1000")}));
    QVERIFY(SaveMod(*m_mod, false, true, false, false).failedFiles.isEmpty());
    QCOMPARE(ReadBytes(scoring), bytes);

    // The next edit is back within the usual range, and its opening counts as one change.
    m_sounds.played.clear();
    m_edit->BeginScoreEdit(2);
    QCOMPARE(bar()->minimum(), -200);
    QCOMPARE(bar()->maximum(), 200);
    QCOMPARE(bar()->value(), -2);
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("-2"));
    QCOMPARE(m_sounds.played, QList<int>{3});

    // Moving away from an outside value and back within the range works from the true value.
    clickAt(m_edit.get(), CancelPlace);
    m_edit->BeginScoreEdit(0);
    clickAt(m_edit.get(), UpperArrow);
    QCOMPARE(label("LabelScore")->text(), QStringLiteral("499"));
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->ScoreValues().at(0), 499);
}

void TestFormEdit::switchesBetweenTheTwoModes()
{
    m_edit->BeginScoreEdit(5);
    clickAt(m_edit.get(), CancelPlace);
    m_edit->BeginBotNameEdit(3);
    QVERIFY(nameBox()->isVisible());
    QCOMPARE(nameBox()->text(), QStringLiteral("Old Tom"));
    QVERIFY(!bar()->isVisible());
    QVERIFY(!label("LabelScore")->isVisible());
    QVERIFY(!label("LabelLScore")->isVisible());
    QCOMPARE(label("LabelLEditing")->text(), QStringLiteral("Editing Bot Name: "));
    setName(QStringLiteral("Not Accepted"));
    clickAt(m_edit.get(), CancelPlace);

    m_edit->BeginScoreEdit(5);
    QVERIFY(!nameBox()->isVisible());
    QCOMPARE(nameBox()->text(), QString());
    QVERIFY(bar()->isVisible());
    QCOMPARE(label("LabelLEditing")->text(), QStringLiteral("Editing Score: "));
    // Accepting in score mode leaves the names alone, and the other way round.
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->BotNames(), DemoGame::BotNames);
    m_edit->BeginBotNameEdit(3);
    const QStringList lines = m_mod->ScoreLines();
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_mod->ScoreLines(), lines);
}

void TestFormEdit::handsOverToTheMainWindow()
{
    // From the main window's score list, by a double-click on a row, and back with the new value shown.
    auto* scores = m_main->findChild<QListWidget*>(QStringLiteral("ListScores"));
    QVERIFY(scores);
    const QPoint row = scores->visualItemRect(scores->item(2)).center();
    QTest::mouseClick(scores->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QTest::mouseDClick(scores->viewport(), Qt::LeftButton, Qt::NoModifier, row);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_edit.get()});
    QCOMPARE(m_edit->EditIndex(), 2);
    QCOMPARE(label("LabelLScore")->text(), QStringLiteral("SCORE_SUICIDE"));
    clickAt(m_edit.get(), UpperArrow);
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(scores->item(2)->text(), QStringLiteral("SCORE_SUICIDE = -3"));

    // The same for a bot name.
    auto* names = m_main->findChild<QListWidget*>(QStringLiteral("ListBotNames"));
    QVERIFY(names);
    const QPoint name = names->visualItemRect(names->item(4)).center();
    QTest::mouseClick(names->viewport(), Qt::LeftButton, Qt::NoModifier, name);
    QTest::mouseDClick(names->viewport(), Qt::LeftButton, Qt::NoModifier, name);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_edit.get()});
    QCOMPARE(nameBox()->text(), QStringLiteral("Brannoch"));
    QTest::keyClicks(nameBox(), QStringLiteral(" II"));
    clickAt(m_edit.get(), AcceptPlace);
    QCOMPARE(m_context->visibleWindows(), QList<QWidget*>{m_main.get()});
    QCOMPARE(names->item(4)->text(), QStringLiteral("Brannoch II"));
}

QTEST_MAIN(TestFormEdit)
#include "tst_formedit.moc"
