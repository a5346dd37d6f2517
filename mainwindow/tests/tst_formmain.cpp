#include "mainwindow/BotSlider.h"
#include "mainwindow/FormEdit.h"
#include "mainwindow/FormMain.h"
#include "mainwindow/FormSave.h"
#include "modfiles/ModFiles.h"
#include "modfiles/ModSettings.h"
#include "movies/IntroSwitch.h"
#include "shell/EditorContext.h"
#include "shell/ImageButton.h"
#include "tests/support/TestSupport.h"
#include "tools/demogame/DemoGame.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// The window with everything it talks to, made fresh for every test.
struct Editor
{
    ModSettings mod;
    RecordingPrompter prompter;
    RecordingSounds sounds;
    IntroSwitch intro;
    EditorContext context{mod, prompter, sounds, intro};
    FormMain main{context};
    FormEdit edit{context};
    FormSave save{context};

    Editor()
    {
        context.main = &main;
        context.edit = &edit;
        context.save = &save;
    }

    template <typename T = QWidget> T* find(const QString& name) const
    {
        T* widget = main.findChild<T*>(name);
        if (!widget)
            qWarning("no control named %s", qPrintable(name));
        return widget;
    }
    QString text(const QString& label) const { return find<QLabel>(label)->text(); }
    QStringList rows(const QString& list) const
    {
        QStringList texts;
        const auto* widget = find<QListWidget>(list);
        for (int i = 0; i < widget->count(); ++i)
            texts.append(widget->item(i)->text());
        return texts;
    }
    void load(const QString& modFolder)
    {
        mod.ModFolder = modFolder;
        LoadMod(mod);
    }
};

// Rewrites a file of a mod, replacing a pattern (case-insensitive) by a text.
void Rewrite(const QString& path, const QString& pattern, const QString& replacement)
{
    QString text = QString::fromLatin1(ReadBytes(path));
    const QString before = text;
    text.replace(QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption), replacement);
    QVERIFY2(text != before, qPrintable(pattern));
    WriteBytes(path, text.toLatin1());
}

void Click(QWidget* widget, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, Qt::NoModifier, at.isNull() ? widget->rect().center() : at);
}

// A real double-click: press and release, then the double-click press and its release.
void DoubleClick(QWidget* widget, QPoint at = {})
{
    const QPoint pos = at.isNull() ? widget->rect().center() : at;
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, pos);
}

// A pointer movement with these buttons held (QTest::mouseMove carries no buttons).
void MoveOn(QWidget* widget, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

const QPoint UpperArrow(8, 4);
const QPoint LowerArrow(8, 12);

} // namespace

class TestFormMain final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Editor> m_editor;
    std::unique_ptr<DemoGameFolder> m_game;

    QString completeMod() const { return m_game->mod(DemoGame::CompleteMod); }

private slots:
    void init()
    {
        m_game = std::make_unique<DemoGameFolder>();
        m_editor = std::make_unique<Editor>();
        m_editor->context.showOnly(&m_editor->main);
        QVERIFY(QTest::qWaitForWindowExposed(&m_editor->main));
    }
    void cleanup()
    {
        m_editor.reset();
        m_game.reset();
    }

    void controlsAtTheirPlaces_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        auto row = [](const char* name, QRect place, const char* caption = nullptr) {
            QTest::newRow(name) << QString::fromLatin1(name) << place
                                << (caption ? QString::fromLatin1(caption) : QString());
        };
        row("LabelLSettings", {16, 80, 57, 17}, "Settings");
        const struct
        {
            const char* suffix;
            const char* caption;
            int top;
        } ffRows[] = {{"SFD", "Soldier Friendly Damage:", 104},
                      {"VFD", "Vehicle Friendly Damage:", 128},
                      {"SSD", "Soldier Splash Damage:", 152},
                      {"VSD", "Vehicle Splash Damage:", 176}};
        for (const auto& ff : ffRows) {
            const QByteArray suffix(ff.suffix);
            row(QByteArray("LabelL" + suffix).constData(), {16, ff.top, 145, 17}, ff.caption);
            row(QByteArray("Label" + suffix).constData(), {176, ff.top, 33, 17}, "0");
            row(QByteArray("Label" + suffix + "2").constData(), {175, ff.top + 1, 33, 17}, "0");
            row(QByteArray("VScroll" + suffix).constData(), {216, ff.top, 17, 17});
        }
        row("Label9", {256, 80, 41, 17}, "Bots");
        row("LabelLBotSkill", {256, 104, 57, 17}, "Bot Skill:");
        row("PictureSliderBGBS", {254, 120, 181, 19});
        row("PictureSliderBoxBS", {2, 2, 22, 15});
        row("LabelBotSkill", {392, 104, 41, 17}, "0");
        row("LabelBotSkill2", {391, 105, 41, 17}, "0");
        row("LabelLMaxBots", {256, 152, 57, 17}, "Max Bots:");
        row("PictureSliderBGMB", {254, 168, 181, 19});
        row("PictureSliderBoxMB", {2, 2, 22, 15});
        row("LabelMaxBots", {392, 152, 41, 17}, "0");
        row("LabelMaxBots2", {391, 153, 41, 17}, "0");
        row("LabelLBotNames", {256, 200, 73, 17}, "Bot Names:");
        row("LabelBotNames", {361, 200, 73, 17}, "0");
        row("LabelBotNames2", {360, 201, 73, 17}, "0");
        row("ListBotNames", {256, 216, 177, 95});
        row("LabelLNewBot", {257, 312, 112, 17}, "Add New Bot Name:");
        row("TextNewBot", {256, 328, 105, 19});
        row("PictureAdd", {368, 328, 67, 18});
        row("LabelLEditScores", {16, 200, 73, 17}, "Edit Scores:");
        row("ListScores", {16, 216, 217, 95});
        row("Label12", {16, 312, 104, 17}, "Edit Level Settings:");
        row("PictureEdit", {144, 328, 91, 18});
        row("PictureSave", {350, 70, 91, 18});
        row("PictureMini", {400, 8, 18, 18});
        row("PictureExit", {424, 8, 18, 18});
        row("PictureWarning", {168, 128, 145, 41});
        row("LabelLoading", {8, 8, 129, 17}, "Loading... Please Wait");
    }
    void controlsAtTheirPlaces()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        const QWidget* control = m_editor->find(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), place);
        if (!caption.isEmpty())
            QCOMPARE(qobject_cast<const QLabel*>(control)->text(), caption);
    }

    void windowAndStyle()
    {
        FormMain& main = m_editor->main;
        QCOMPARE(main.size(), QSize(449, 360));
        QVERIFY(main.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(main.windowTitle(), QStringLiteral("GX3190 Editor"));

        // Every caption and value label has a grey twin one pixel left and lower, beneath it.
        int captions = 0;
        for (const QLabel* label : main.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (label->palette().color(QPalette::WindowText) != Qt::black)
                continue;
            ++captions;
            const QLabel* twin = nullptr;
            for (const QLabel* other : main.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                if (other->geometry() == label->geometry().translated(-1, 1) && other->text() == label->text())
                    twin = other;
            }
            QVERIFY2(twin, qPrintable(label->objectName()));
            QVERIFY(main.children().indexOf(const_cast<QLabel*>(twin)) <
                    main.children().indexOf(const_cast<QLabel*>(label)));
            QCOMPARE(label->font().family(), QStringLiteral("Palatino Linotype"));
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().pointSizeF(), 9.0);
        }
        QCOMPARE(captions, 19);
        QVERIFY(m_editor->find<QLabel>(QStringLiteral("LabelSFD"))->alignment() & Qt::AlignRight);
        QVERIFY(m_editor->find<QLabel>(QStringLiteral("LabelLSettings"))->alignment() & Qt::AlignHCenter);

        const auto* names = m_editor->find<QListWidget>(QStringLiteral("ListBotNames"));
        QCOMPARE(names->selectionMode(), QAbstractItemView::SingleSelection);
        QVERIFY(!names->isSortingEnabled());
        QCOMPARE(names->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(names->font().pointSizeF(), 8.25);

        const QWidget* busy = m_editor->main.busyPanel();
        QCOMPARE(busy, m_editor->find(QStringLiteral("PictureWarning")));
        QVERIFY(!busy->isVisible());
        QCOMPARE(busy->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(m_editor->find<QLabel>(QStringLiteral("LabelLoading"))->palette().color(QPalette::WindowText),
                 QColor(Qt::white));

        const auto* levels = m_editor->find<QComboBox>(QStringLiteral("ComboLevels"));
        QCOMPARE(levels->geometry().topLeft(), QPoint(16, 328));
        QCOMPARE(levels->width(), 121);
        QCOMPARE(levels->count(), 13);
        QCOMPARE(levels->currentIndex(), 0);
        QCOMPARE(levels->itemText(0), QStringLiteral("Varnholm"));
        QCOMPARE(levels->itemText(8), QStringLiteral("Merrow Harbour"));
        QCOMPARE(levels->itemText(12), QStringLiteral("Orvane Island 3190"));
    }

    void loadCompleteMod()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        QCOMPARE(e.rows(QStringLiteral("ListBotNames")), DemoGame::BotNames);
        QCOMPARE(e.text(QStringLiteral("LabelBotNames")), QStringLiteral("6"));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames2")), QStringLiteral("6"));
        const char* ff[] = {"SFD", "VFD", "SSD", "VSD"};
        for (int i = 0; i < 4; ++i) {
            const QString value = QString::number(DemoGame::FriendlyFire[i]);
            QCOMPARE(e.text(QStringLiteral("Label") + QLatin1String(ff[i])), value);
            QCOMPARE(e.text(QStringLiteral("Label") + QLatin1String(ff[i]) + QLatin1Char('2')), value);
            auto* bar = e.find<QScrollBar>(QStringLiteral("VScroll") + QLatin1String(ff[i]));
            QCOMPARE(bar->value(), DemoGame::FriendlyFire[i]);
            QVERIFY(bar->isEnabled());
        }
        // Each bar that moved from 0 played its change sound.
        QCOMPARE(e.sounds.played, QList<int>({3, 3, 3, 3}));
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots")), QStringLiteral("32"));
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots2")), QStringLiteral("32"));
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("50"));
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill2")), QStringLiteral("50"));
        auto* maxBots = e.find<BotSlider>(QStringLiteral("PictureSliderBGMB"));
        QVERIFY(maxBots->knobLeft() > 19.45f && maxBots->knobLeft() < 19.46f);
        QCOMPARE(e.find(QStringLiteral("PictureSliderBoxMB"))->x(), 19);
        auto* botSkill = e.find<BotSlider>(QStringLiteral("PictureSliderBGBS"));
        QCOMPARE(botSkill->knobLeft(), 50.0f / SliderMath::BotSkillScale);
        QVERIFY(maxBots->isEnabled() && botSkill->isEnabled());
        QCOMPARE(e.rows(QStringLiteral("ListScores")), e.mod.ScoreLines());
        QCOMPARE(e.rows(QStringLiteral("ListScores")).size(), 68);
        QVERIFY(e.find(QStringLiteral("ListScores"))->isEnabled());
        QVERIFY(e.find(QStringLiteral("ListBotNames"))->isEnabled());
        QVERIFY(e.prompter.boxes.isEmpty());
    }

    void loadNamesOnlyMod()
    {
        Editor& e = *m_editor;
        e.load(m_game->mod(DemoGame::NamesOnlyMod));
        QVERIFY(e.find(QStringLiteral("ListBotNames"))->isEnabled());
        QVERIFY(e.rows(QStringLiteral("ListBotNames")).size() > 0);
        QCOMPARE(e.text(QStringLiteral("LabelBotNames2")),
                 QString::number(e.rows(QStringLiteral("ListBotNames")).size()));
        for (const char* name : {"VScrollSFD", "VScrollVFD", "VScrollSSD", "VScrollVSD", "PictureSliderBGBS",
                                 "PictureSliderBGMB", "ListScores"})
            QVERIFY2(!e.find(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(e.rows(QStringLiteral("ListScores")).isEmpty());
        for (const char* label : {"LabelSFD", "LabelVSD", "LabelBotSkill", "LabelMaxBots2"})
            QCOMPARE(e.text(QString::fromLatin1(label)), QStringLiteral("0"));
        QVERIFY(e.sounds.played.isEmpty());

        // Disabled controls take no clicks.
        Click(e.find(QStringLiteral("VScrollSFD")), LowerArrow);
        QTest::mousePress(e.find(QStringLiteral("PictureSliderBGBS")), Qt::LeftButton, {}, QPoint(100, 9));
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("0"));
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("0"));
        QVERIFY(e.sounds.played.isEmpty());
    }

    void keysNotFoundDisableTheirControls()
    {
        Rewrite(completeMod() + QStringLiteral("/Settings/ServerSettings.CON"),
                QStringLiteral("sv.vehicleFriendlyFire"), QStringLiteral("sv.vehicleFriendlyFireX"));
        Rewrite(completeMod() + QStringLiteral("/AI/AIDefault.AI"), QStringLiteral("setMaxNBots"),
                QStringLiteral("setMaxNBotz"));
        Editor& e = *m_editor;
        e.load(completeMod());
        const QString tip = QStringLiteral("Not found in the file");
        QVERIFY(!e.find(QStringLiteral("VScrollVFD"))->isEnabled());
        QCOMPARE(e.text(QStringLiteral("LabelVFD")), QStringLiteral("0"));
        QCOMPARE(e.find(QStringLiteral("LabelVFD"))->toolTip(), tip);
        QVERIFY(e.find(QStringLiteral("VScrollSFD"))->isEnabled());
        QVERIFY(e.find(QStringLiteral("LabelSFD"))->toolTip().isEmpty());
        QVERIFY(!e.find(QStringLiteral("PictureSliderBGMB"))->isEnabled());
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots")), QStringLiteral("0"));
        QCOMPARE(e.find(QStringLiteral("LabelMaxBots"))->toolTip(), tip);
        QVERIFY(e.find(QStringLiteral("PictureSliderBGBS"))->isEnabled());

        // The reset of a row the file does not hold writes nothing into the model.
        DoubleClick(e.find(QStringLiteral("LabelVFD")));
        QVERIFY(e.mod.friendlyFire(FriendlyFire::VehicleFF).isEmpty());
    }

    void friendlyFireArrows()
    {
        Editor& e = *m_editor;
        auto* bar = e.find<QScrollBar>(QStringLiteral("VScrollSFD"));
        Click(bar, UpperArrow);
        QCOMPARE(bar->value(), 0);
        QVERIFY(e.sounds.played.isEmpty());

        for (int i = 0; i < 10; ++i)
            Click(bar, LowerArrow);
        QCOMPARE(bar->value(), 10);
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("10"));
        QCOMPARE(e.text(QStringLiteral("LabelSFD2")), QStringLiteral("10"));
        QCOMPARE(e.mod.friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("10"));
        QCOMPARE(e.sounds.played, QList<int>(10, 3));

        Click(bar, UpperArrow);
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("9"));
        // Only the left button steps.
        Click(bar, LowerArrow, Qt::RightButton);
        QCOMPARE(bar->value(), 9);

        bar->setValue(100);
        e.sounds.played.clear();
        Click(bar, LowerArrow);
        QCOMPARE(bar->value(), 100);
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("100"));
        QVERIFY(e.sounds.played.isEmpty());
        Click(bar, UpperArrow);
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("99"));
    }

    void friendlyFireReset()
    {
        Editor& e = *m_editor;
        auto* bar = e.find<QScrollBar>(QStringLiteral("VScrollVSD"));
        bar->setValue(35);
        QCOMPARE(e.text(QStringLiteral("LabelVSD")), QStringLiteral("35"));
        e.sounds.played.clear();

        DoubleClick(e.find(QStringLiteral("LabelVSD")));
        QCOMPARE(e.text(QStringLiteral("LabelVSD")), QStringLiteral("0"));
        QCOMPARE(e.text(QStringLiteral("LabelVSD2")), QStringLiteral("0"));
        QCOMPARE(bar->value(), 0);
        QCOMPARE(e.mod.friendlyFire(FriendlyFire::VehicleSplashFF), QStringLiteral("0"));
        QCOMPARE(e.sounds.played, QList<int>({3}));

        e.sounds.played.clear();
        DoubleClick(e.find(QStringLiteral("LabelVSD")));
        QCOMPARE(e.text(QStringLiteral("LabelVSD")), QStringLiteral("0"));
        QVERIFY(e.sounds.played.isEmpty());
    }

    void friendlyFireAboveTheRangeIsKept()
    {
        const QString path = completeMod() + QStringLiteral("/Settings/ServerSettings.CON");
        Rewrite(path, QStringLiteral("(?<=sv.soldierFriendlyFire )100"), QStringLiteral("150"));
        Editor& e = *m_editor;
        e.load(completeMod());
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("150"));
        QCOMPARE(e.text(QStringLiteral("LabelSFD2")), QStringLiteral("150"));
        QCOMPARE(e.find<QScrollBar>(QStringLiteral("VScrollSFD"))->value(), 100);
        QCOMPARE(e.mod.friendlyFire(FriendlyFire::SoldierFF), QStringLiteral("150"));

        // Another row changes; the untouched one is written back as it was read.
        Click(e.find(QStringLiteral("VScrollVFD")), LowerArrow);
        QCOMPARE(e.text(QStringLiteral("LabelVFD")), QStringLiteral("51"));
        const SaveReport report = SaveMod(e.mod, true, false, false, false);
        QVERIFY(report.failedFiles.isEmpty());
        const QByteArray saved = ReadBytes(path).toLower();
        QVERIFY(saved.contains("sv.soldierfriendlyfire 150\r\n"));
        QVERIFY(saved.contains("sv.vehiclefriendlyfire 51\r\n"));

        // Stepping down from the top end takes the row into the range.
        Click(e.find(QStringLiteral("VScrollSFD")), UpperArrow);
        QCOMPARE(e.text(QStringLiteral("LabelSFD")), QStringLiteral("99"));
    }

    void botNamesEditAndDelete()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        e.sounds.played.clear();
        auto* list = e.find<QListWidget>(QStringLiteral("ListBotNames"));

        // Nothing selected: a double-click does nothing (a list of two rows leaves room below them).
        e.mod.setBotNames({QStringLiteral("Alpha"), QStringLiteral("Bravo"), QStringLiteral("Charlie")});
        QCOMPARE(list->selectedItems().size(), 0);
        DoubleClick(list->viewport(), QPoint(60, 85));
        QVERIFY(e.sounds.played.isEmpty());
        QVERIFY(e.main.isVisible());
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(e.prompter.boxes.isEmpty());

        // Delete, answered No, then Yes.
        const QPoint second = list->visualItemRect(list->item(1)).center();
        Click(list->viewport(), second);
        QCOMPARE(list->currentRow(), 1);
        e.prompter.questionAnswers = {false};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("Delete this bot name?")});
        QCOMPARE(e.prompter.kinds(), QStringList{QStringLiteral("question")});
        QCOMPARE(e.rows(QStringLiteral("ListBotNames")).size(), 3);

        for (Qt::Key other : {Qt::Key_Backspace, Qt::Key_A, Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(list, other);
        QCOMPARE(e.prompter.boxes.size(), 1);
        QCOMPARE(e.rows(QStringLiteral("ListBotNames")).size(), 3);

        // Letter keys move the selection (the list's own search), so choose the second row again.
        Click(list->viewport(), second);
        e.prompter.questionAnswers = {true};
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(e.rows(QStringLiteral("ListBotNames")),
                 QStringList({QStringLiteral("Alpha"), QStringLiteral("Charlie")}));
        QCOMPARE(e.mod.BotNames(), e.rows(QStringLiteral("ListBotNames")));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames")), QStringLiteral("2"));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames2")), QStringLiteral("2"));
        QVERIFY(list->selectedItems().isEmpty());
        QVERIFY(e.sounds.played.isEmpty());

        // The row that moved up is the one a double-click now edits.
        DoubleClick(list->viewport(), second);
        QCOMPARE(e.sounds.played, QList<int>({2}));
        QVERIFY(e.edit.isVisible());
        QVERIFY(!e.main.isVisible());
        QVERIFY(e.edit.EditingBotName());
        QCOMPARE(e.edit.EditIndex(), 1);
        QCOMPARE(e.edit.findChild<QLineEdit*>(QStringLiteral("TextBotName"))->text(), QStringLiteral("Charlie"));
        e.context.showOnly(&e.main);

        // Deleting the last rows leaves "0".
        for (int i = 0; i < 2; ++i) {
            Click(list->viewport(), list->visualItemRect(list->item(0)).center());
            e.prompter.questionAnswers = {true};
            QTest::keyClick(list, Qt::Key_Delete);
        }
        QCOMPARE(list->count(), 0);
        QCOMPARE(e.text(QStringLiteral("LabelBotNames")), QStringLiteral("0"));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames2")), QStringLiteral("0"));
    }

    void botNamesAdd()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        e.sounds.played.clear();
        auto* add = e.find(QStringLiteral("PictureAdd"));
        auto* text = e.find<QLineEdit>(QStringLiteral("TextNewBot"));
        QVERIFY(text->maxLength() >= 1000000);

        Click(add);
        QCOMPARE(e.prompter.kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("No name entered.")});
        QCOMPARE(e.mod.BotNames().size(), 6);
        QCOMPARE(e.sounds.played, QList<int>({1}));

        QTest::keyClicks(text, QStringLiteral(" "));
        Click(add);
        QCOMPARE(e.mod.BotNames().last(), QStringLiteral(" "));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames")), QStringLiteral("7"));

        text->clear();
        QTest::keyClicks(text, QStringLiteral("Nova"));
        Click(add);
        Click(add);
        QCOMPARE(text->text(), QStringLiteral("Nova"));
        QCOMPARE(e.rows(QStringLiteral("ListBotNames")).mid(7),
                 QStringList({QStringLiteral("Nova"), QStringLiteral("Nova")}));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames")), QStringLiteral("9"));
        QCOMPARE(e.text(QStringLiteral("LabelBotNames2")), QStringLiteral("9"));
        QCOMPARE(e.prompter.boxes.size(), 1);

        // A pasted text of several lines keeps its first line.
        text->clear();
        QApplication::clipboard()->setText(QStringLiteral("First\r\nSecond"));
        text->setFocus();
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(text->text(), QStringLiteral("First"));
        // Characters the 8-bit file cannot hold are left out; Latin-1 letters stay.
        text->clear();
        QApplication::clipboard()->setText(QStringLiteral("J\u00f6rg \u4e2d\u0141ux"));
        QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(text->text(), QStringLiteral("J\u00f6rg ux"));

        // A name just added can be edited at once.
        auto* list = e.find<QListWidget>(QStringLiteral("ListBotNames"));
        list->scrollToBottom();
        const QPoint last = list->visualItemRect(list->item(8)).center();
        DoubleClick(list->viewport(), last);
        QCOMPARE(e.edit.findChild<QLineEdit*>(QStringLiteral("TextBotName"))->text(), QStringLiteral("Nova"));
        QCOMPARE(e.edit.EditIndex(), 8);
    }

    void scoresOpenTheEditWindow()
    {
        Editor& e = *m_editor;
        auto* list = e.find<QListWidget>(QStringLiteral("ListScores"));
        DoubleClick(list->viewport(), QPoint(60, 40));
        QVERIFY(e.sounds.played.isEmpty());
        QVERIFY(e.main.isVisible());
        e.load(completeMod());
        e.sounds.played.clear();

        const QPoint first = list->visualItemRect(list->item(0)).center();
        DoubleClick(list->viewport(), first);
        QCOMPARE(e.sounds.played.value(0), 2); // then 3 from the edit window's bar
        QVERIFY(e.edit.isVisible());
        QVERIFY(!e.main.isVisible());
        QVERIFY(!e.edit.EditingBotName());
        QCOMPARE(e.edit.EditIndex(), 0);

        // An edited score shows in its row.
        e.context.showOnly(&e.main);
        e.mod.setScoreValue(0, 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("SCORE_KILL = 3"));
    }

    void sliderJumps_data()
    {
        QTest::addColumn<QString>("track");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("knobX");
        QTest::addColumn<QString>("value");
        const struct
        {
            const char* track;
            int x;
            int knobX;
            const char* botSkill;
            const char* maxBots;
        } jumps[] = {{"PictureSliderBG", 100, 89, "56", "144"},   {"PictureSliderBG", 13, 2, "0", "1"},
                     {"PictureSliderBG", 20, 2, "0", "1"},        {"PictureSliderBG", 23, 2, "0", "1"},
                     {"PictureSliderBG", 24, 13, "7", "19"},      {"PictureSliderBG", 168, 157, "100", "256"},
                     {"PictureSliderBG", 169, 157, "100", "256"}, {"PictureSliderBG", 179, 157, "100", "256"}};
        for (const auto& jump : jumps) {
            QTest::addRow("BS at %d", jump.x)
                << QStringLiteral("BS") << jump.x << jump.knobX << QString::fromLatin1(jump.botSkill);
            QTest::addRow("MB at %d", jump.x)
                << QStringLiteral("MB") << jump.x << jump.knobX << QString::fromLatin1(jump.maxBots);
        }
    }
    void sliderJumps()
    {
        QFETCH(QString, track);
        QFETCH(int, x);
        QFETCH(int, knobX);
        QFETCH(QString, value);
        Editor& e = *m_editor;
        e.load(completeMod());
        e.sounds.played.clear();
        auto* slider = e.find<BotSlider>(QStringLiteral("PictureSliderBG") + track);
        QWidget* knob = e.find(QStringLiteral("PictureSliderBox") + track);
        const QString label =
            track == QLatin1String("BS") ? QStringLiteral("LabelBotSkill") : QStringLiteral("LabelMaxBots");
        // Start from the far end so that every jump lands on a free part of the track.
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(x < 90 ? 175 : 5, 9));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x < 90 ? 175 : 5, 9));
        e.sounds.played.clear();

        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(x, 9));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x, 9));
        QCOMPARE(e.sounds.played, QList<int>({3}));
        QCOMPARE(knob->x(), knobX);
        QCOMPARE(slider->knobLeft(), static_cast<float>(knobX));
        QCOMPARE(e.text(label), value);
        QCOMPARE(e.text(label + QLatin1Char('2')), value);
        const QString& model = track == QLatin1String("BS") ? e.mod.BotSkill() : e.mod.MaxBots();
        QCOMPARE(model, value);
    }

    void sliderPressesThatChangeNothing()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        e.sounds.played.clear();
        auto* slider = e.find<BotSlider>(QStringLiteral("PictureSliderBGMB"));
        QWidget* knob = e.find(QStringLiteral("PictureSliderBoxMB"));
        const float left = slider->knobLeft();
        for (int x : {1, 180}) {
            QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(x, 9));
            QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(x, 9));
        }
        QCOMPARE(e.sounds.played, QList<int>({3, 3}));
        QCOMPARE(slider->knobLeft(), left);
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots")), QStringLiteral("32"));

        // The right button does nothing at all, on the track or on the knob.
        e.sounds.played.clear();
        QTest::mousePress(slider, Qt::RightButton, {}, QPoint(100, 9));
        QTest::mouseRelease(slider, Qt::RightButton, {}, QPoint(100, 9));
        QTest::mousePress(knob, Qt::RightButton, {}, QPoint(5, 7));
        MoveOn(knob, QPoint(60, 7), Qt::RightButton);
        QTest::mouseRelease(knob, Qt::RightButton, {}, QPoint(60, 7));
        QVERIFY(e.sounds.played.isEmpty());
        QCOMPARE(slider->knobLeft(), left);
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots")), QStringLiteral("32"));
    }

    void sliderDrags()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        auto* slider = e.find<BotSlider>(QStringLiteral("PictureSliderBGBS"));
        QWidget* knob = e.find(QStringLiteral("PictureSliderBoxBS"));
        QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(100, 9));
        QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(100, 9));
        QCOMPARE(slider->knobLeft(), 89.0f);
        e.sounds.played.clear();

        // Grab the knob 11 pixels from its left edge (track pixel 100) and move right by 5.
        auto onTrack = [&](int x) { return knob->mapFrom(slider, QPoint(x, 9)); };
        QTest::mousePress(knob, Qt::LeftButton, {}, onTrack(100));
        QCOMPARE(e.sounds.played, QList<int>({3}));
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("56"));
        MoveOn(knob, onTrack(105));
        QCOMPARE(slider->knobLeft(), 94.0f);
        QCOMPARE(knob->x(), 94);
        const QString at94 = QString::number(SliderMath::Value(SliderMath::Slider::BotSkill, 94.0f));
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), at94);
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill2")), at94);

        // No drag without exactly the left button held.
        MoveOn(knob, onTrack(130), Qt::NoButton);
        MoveOn(knob, onTrack(130), Qt::LeftButton | Qt::RightButton);
        QCOMPARE(slider->knobLeft(), 94.0f);

        MoveOn(knob, onTrack(-400));
        QCOMPARE(slider->knobLeft(), 2.0f);
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("0"));
        MoveOn(knob, onTrack(900));
        QCOMPARE(slider->knobLeft(), 157.0f);
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("100"));
        QCOMPARE(e.mod.BotSkill(), QStringLiteral("100"));
        QTest::mouseRelease(knob, Qt::LeftButton, {}, onTrack(900));
        QCOMPARE(e.sounds.played, QList<int>({3}));

        // After the release, moves do not drag.
        MoveOn(knob, onTrack(50));
        QCOMPARE(slider->knobLeft(), 157.0f);
    }

    void loadedKnobsOutsideTheTrack()
    {
        const QString path = completeMod() + QStringLiteral("/AI/AIDefault.AI");
        Rewrite(path, QStringLiteral("(?<=setBotSkill )0\\.5"), QStringLiteral("0"));
        Rewrite(path, QStringLiteral("(?<=setMaxNBots )32"), QStringLiteral("999"));
        Editor& e = *m_editor;
        e.load(completeMod());
        auto* skill = e.find<BotSlider>(QStringLiteral("PictureSliderBGBS"));
        QWidget* skillKnob = e.find(QStringLiteral("PictureSliderBoxBS"));
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("0"));
        QCOMPARE(skill->knobLeft(), 0.0f);
        auto* bots = e.find<BotSlider>(QStringLiteral("PictureSliderBGMB"));
        QWidget* botsKnob = e.find(QStringLiteral("PictureSliderBoxMB"));
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots")), QStringLiteral("999"));
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots2")), QStringLiteral("999"));
        QVERIFY(bots->knobLeft() > 600.0f);
        // The knob is the track's child, so what lies outside the track is never painted.
        QCOMPARE(botsKnob->parentWidget(), bots);
        QVERIFY(!bots->rect().intersects(botsKnob->geometry()));

        // The knob left of 2 snaps to 2 on the first drag step, wherever the pointer goes.
        auto onTrack = [&](int x) { return skillKnob->mapFrom(skill, QPoint(x, 9)); };
        QTest::mousePress(skillKnob, Qt::LeftButton, {}, onTrack(5));
        MoveOn(skillKnob, onTrack(60));
        QCOMPARE(skill->knobLeft(), 2.0f);
        QCOMPARE(skillKnob->x(), 2);
        QCOMPARE(e.text(QStringLiteral("LabelBotSkill")), QStringLiteral("0"));
        QTest::mouseRelease(skillKnob, Qt::LeftButton, {}, onTrack(60));

        // The out-of-range max bots comes back with a jump.
        QTest::mousePress(bots, Qt::LeftButton, {}, QPoint(100, 9));
        QCOMPARE(e.text(QStringLiteral("LabelMaxBots")), QStringLiteral("144"));
        QCOMPARE(botsKnob->x(), 89);
    }

    void windowButtons()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        e.prompter.questionAnswers = {false};
        Click(e.find(QStringLiteral("PictureExit")));
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
        QCOMPARE(e.prompter.kinds(), QStringList{QStringLiteral("question")});
        QVERIFY(e.main.isVisible());
        QCOMPARE(e.text(QStringLiteral("LabelBotNames")), QStringLiteral("6"));

        // Closing through the window system asks the same.
        e.prompter.clear();
        QVERIFY(!e.main.close());
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
        QVERIFY(e.main.isVisible());

        e.prompter.clear();
        auto* levels = e.find<QComboBox>(QStringLiteral("ComboLevels"));
        levels->setCurrentIndex(-1);
        Click(e.find(QStringLiteral("PictureEdit")));
        QCOMPARE(e.prompter.kinds(), QStringList{QStringLiteral("warning")});
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("No level selected.")});
        QVERIFY(e.main.isVisible());

        e.sounds.played.clear();
        Click(e.find(QStringLiteral("PictureSave")));
        QCOMPARE(e.sounds.played, QList<int>({1}));
        QVERIFY(e.save.isVisible());
        QVERIFY(!e.main.isVisible());
        e.context.showOnly(&e.main);

        Click(e.find(QStringLiteral("PictureMini")));
        QVERIFY(e.main.isMinimized());
    }

    void screenshot()
    {
        Editor& e = *m_editor;
        e.load(completeMod());
        const QString folder = qEnvironmentVariable("GX_ARTIFACTS");
        if (folder.isEmpty())
            QSKIP("GX_ARTIFACTS is not set");
        QVERIFY(QDir().mkpath(folder));
        const QImage shot = e.main.grab().toImage();
        QCOMPARE(shot.size(), QSize(449, 360));
        QVERIFY(shot.save(folder + QStringLiteral("/FormMain.png")));
    }

    // Last: a Yes ends the application's event loops, which is not undone for later tests.
    void exitYesEndsTheProgram()
    {
        Editor& e = *m_editor;
        e.prompter.questionAnswers = {true};
        QEventLoop loop;
        QTimer::singleShot(0, &e.main, [&] {
            Click(e.find(QStringLiteral("PictureExit")));
            // Had the program not ended, this would end the loop with another code.
            QTimer::singleShot(0, &loop, [&] { loop.exit(7); });
        });
        QCOMPARE(loop.exec(), 0);
        QCOMPARE(e.prompter.texts(), QStringList{QStringLiteral("Do you want to exit?")});
    }
};

QTEST_MAIN(TestFormMain)
#include "tst_formmain.moc"
