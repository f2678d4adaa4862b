// The interface in English beside its Chinese: the choice of language, a finished translation of
// every text, English menus, keys and dialogs that fit their texts.
#include "ShellFixture.h"

#include "../support/ModalScript.h"
#include "platform/CommandIds.h"
#include "platform/Language.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

namespace {

TEST(LanguageChoice, CommandLineThenSettingThenTheSystemsLanguages)
{
    const struct
    {
        const char* requested;
        const char* kept;
        QStringList system;
        const char* chosen;
    } cases[] = {
        {"en", "zh", {"zh-CN"}, "en"},      {"zh", "en", {"en-US"}, "zh"},
        {"", "en", {"zh-CN"}, "en"},        {"", "zh", {"en-US"}, "zh"},
        {"", "", {"zh-CN"}, "zh"},          {"", "", {"zh-Hant-TW"}, "zh"},
        {"", "", {"en-GB"}, "en"},          {"", "", {"C"}, "en"},
        {"", "", {"de-DE", "zh-CN"}, "zh"}, {"", "", {"de-DE"}, "en"},
        {"fr", "klingon", {"zh-CN"}, "zh"}, // what the interface does not speak counts for nothing
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        QSettings settings(dir.filePath(QStringLiteral("skyrake.conf")), QSettings::IniFormat);
        settings.setValue(languageKey(), QString::fromLatin1(c.kept));
        EXPECT_EQ(chooseLanguage(QString::fromLatin1(c.requested), settings, c.system),
                  QLatin1String(c.chosen))
            << c.requested << " / " << c.kept << " / " << c.system.join(QLatin1Char(',')).toStdString();
    }
}

// The mnemonic letters a text marks, "&&" being a shown ampersand.
QString mnemonics(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("&(.)"));
    QString letters;
    for (const QRegularExpressionMatch& m : marker.globalMatch(text)) {
        if (m.captured(1) != QLatin1String("&"))
            letters += m.captured(1).toLower();
    }
    return letters;
}

TEST(Translation, EveryTextOfTheSourcesHasAFinishedEnglishTranslation)
{
    // The sources' texts merged into a copy of the translation: a text missing from it comes in
    // unfinished, as the update script leaves it for the translator.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("skyrake_en.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SKYRAKE_SOURCE_DIR "/res/translations/skyrake_en.ts"), copy));
    QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QProcess update;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LUPDATE"), QStringLiteral(SKYRAKE_LUPDATE));
    update.setProcessEnvironment(environment);
    update.start(QStringLiteral(SKYRAKE_SOURCE_DIR "/scripts/update-translations"), {copy});
    ASSERT_TRUE(update.waitForFinished(120000));
    ASSERT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();

    QFile file(copy);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader ts(&file);
    QString context, source;
    int messages = 0;
    while (!ts.atEnd()) {
        if (ts.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (ts.name() == QLatin1String("name")) {
            context = ts.readElementText();
        } else if (ts.name() == QLatin1String("source")) {
            source = ts.readElementText();
        } else if (ts.name() == QLatin1String("translation")) {
            const QString type = ts.attributes().value(QLatin1String("type")).toString();
            const QString english = ts.readElementText();
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete"))
                continue; // no longer in the sources
            ++messages;
            const std::string where = (context + QStringLiteral(": ") + source).toStdString();
            EXPECT_TRUE(type.isEmpty() && !english.trimmed().isEmpty()) << "not translated: " << where;
            // The same numbered arguments; a mnemonic where the source has one (English may add one).
            static const QRegularExpression argument(QStringLiteral("%\\d"));
            QSet<QString> from, to;
            for (const auto& m : argument.globalMatch(source))
                from << m.captured();
            for (const auto& m : argument.globalMatch(english))
                to << m.captured();
            EXPECT_EQ(from, to) << where;
            EXPECT_LE(mnemonics(english).size(), 1) << where;
            EXPECT_TRUE(mnemonics(source).isEmpty() || !mnemonics(english).isEmpty()) << where;
        }
    }
    EXPECT_FALSE(ts.hasError()) << ts.errorString().toStdString();
    EXPECT_GT(messages, 100);
}

// The whole program as it starts in English.
class EnglishShellTest : public ShellTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(installLanguage(*qApp, QStringLiteral("en")));
        ShellTest::SetUp();
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        installLanguage(*qApp, QString()); // back to the untranslated texts of the other tests
    }
};

// Every menu's items mark different letters.
void expectDistinctMnemonics(const QWidget* menu, const QString& title)
{
    QSet<QString> taken;
    for (QAction* action : menu->actions()) {
        const QString letter = mnemonics(action->text());
        EXPECT_LE(letter.size(), 1) << action->text().toStdString();
        if (!letter.isEmpty()) {
            EXPECT_FALSE(taken.contains(letter))
                << title.toStdString() << ": " << action->text().toStdString();
            taken << letter;
        }
        if (action->menu())
            expectDistinctMnemonics(action->menu(), action->text());
    }
}

TEST_F(EnglishShellTest, MenusPromptsPanesAndKeysReadEnglish)
{
    QStringList titles;
    for (QAction* top : frame->menuBar()->actions())
        titles << top->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Links", "&Help"}));
    expectDistinctMnemonics(frame->menuBar(), QStringLiteral("menu bar"));

    EXPECT_EQ(frame->action(cmd::AppExit)->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(frame->action(cmd::AppExit)->statusTip(),
              QStringLiteral("Quit the application; prompts to save documents"));
    // A label that is also a prompt and a tooltip keeps its mnemonic in the menu only.
    EXPECT_EQ(frame->action(cmd::PictureList)->text(), QStringLiteral("&Picture List"));
    EXPECT_EQ(frame->action(cmd::PictureList)->toolTip(), QStringLiteral("Picture List"));
    EXPECT_EQ(frame->action(cmd::ZoomIn)->toolTip(), QStringLiteral("Zoom In"));
    EXPECT_EQ(pane(0), QStringLiteral("Ready"));

    load({lasco512Jpg, lasco512Second});
    EXPECT_EQ(pane(4), QStringLiteral("2 pictures"));
    EXPECT_GE(frame->statusPanes()->paneWidth(Pane::Count),
              frame->statusPanes()->fontMetrics().horizontalAdvance(QStringLiteral("888 pictures")));

    // Alt+F opens the File menu.
    QTest::keyClick(frame, Qt::Key_F, Qt::AltModifier);
    settle();
    QMenu* file = frame->menuBar()->actions().at(0)->menu();
    EXPECT_EQ(QApplication::activePopupWidget(), file);
    file->close();
    settle();
}

TEST_F(EnglishShellTest, ChosenLanguageIsKeptForTheNextStart)
{
    QAction* chinese = frame->action(cmd::LanguageChinese);
    QAction* english = frame->action(cmd::LanguageEnglish);
    frame->updateActions();
    EXPECT_TRUE(english->isChecked());
    chinese->trigger();
    EXPECT_TRUE(chinese->isChecked());
    EXPECT_FALSE(english->isChecked());
    EXPECT_EQ(QSettings().value(languageKey()).toString(), QStringLiteral("zh"));
    EXPECT_EQ(desktop.messages,
              QStringList{QStringLiteral("The interface language changes when SkyRake is started again.")});
    english->trigger(); // the language shown: nothing to wait for
    EXPECT_EQ(QSettings().value(languageKey()).toString(), QStringLiteral("en"));
    EXPECT_EQ(desktop.messages.size(), 1);
}

// What a dialog shows: its direct controls, their places and texts.
struct Control
{
    QString name;
    QRect rect;
    QString text;
    int textWidth = 0; // the least width that shows the whole text
};
struct Shown
{
    QString title;
    QSize size;
    std::vector<Control> controls;
};

std::vector<Shown> openEveryDialog(CMainFrame* frame, CSkyrakeApp* app)
{
    std::vector<Shown> dialogs;
    const auto record = [&](QWidget* dialog) {
        Shown shown{dialog->windowTitle(), dialog->size(), {}};
        for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            Control c{w->objectName(), w->geometry(), {}};
            const auto* label = qobject_cast<QLabel*>(w);
            const auto* button = qobject_cast<QAbstractButton*>(w);
            c.text = label ? label->text() : button ? button->text() : QString();
            if (label && !label->wordWrap() && !c.text.isEmpty())
                c.textWidth = label->sizeHint().width();
            else if (button && !c.text.isEmpty())
                c.textWidth = w->fontMetrics().size(Qt::TextShowMnemonic, c.text).width() + 4;
            shown.controls.push_back(c);
        }
        dialogs.push_back(shown);
        dialog->close();
    };
    ModalScript script;
    for (int i = 0; i < 6; ++i)
        script.then(record);
    script.run([&] {
        app->OnAbout();
        frame->execute(cmd::SetSpeed);
        frame->execute(cmd::PictureList);
        frame->execute(cmd::ViewReport);
        frame->execute(cmd::SungrazerReport);
        // The confirmation of a report line, refused.
        const QPoint at(20, 20);
        QTest::mouseDClick(frame->view(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(frame->view(), Qt::LeftButton, {}, at);
    });
    return dialogs;
}

TEST_F(EnglishShellTest, DialogsFitTheirEnglishTextsAndKeepTheirArrangement)
{
    load({lasco512Jpg});
    const std::vector<Shown> english = openEveryDialog(frame, app.get());
    ASSERT_EQ(english.size(), 6u);
    EXPECT_EQ(english[0].title, QStringLiteral("About skyrake"));
    EXPECT_EQ(english[5].title, QStringLiteral("Confirm"));

    // The same dialogs with the source texts, drawn as their templates are.
    TearDown();
    ShellTest::SetUp();
    load({lasco512Jpg});
    const std::vector<Shown> chinese = openEveryDialog(frame, app.get());
    ASSERT_EQ(chinese.size(), english.size());

    for (size_t d = 0; d < english.size(); ++d) {
        const Shown& en = english[d];
        ASSERT_EQ(en.controls.size(), chinese[d].controls.size());
        for (size_t i = 0; i < en.controls.size(); ++i) {
            const Control& c = en.controls[i];
            const std::string where = (en.title + QStringLiteral(": ") + c.text).toStdString();
            EXPECT_GE(c.rect.width(), c.textWidth) << where;
            EXPECT_TRUE(QRect(QPoint(), en.size).contains(c.rect)) << where;
            // Controls apart in the template stay apart.
            for (size_t j = i + 1; j < en.controls.size(); ++j) {
                const bool apart = !chinese[d].controls[i].rect.intersects(chinese[d].controls[j].rect);
                EXPECT_FALSE(apart && c.rect.intersects(en.controls[j].rect))
                    << where << " / " << en.controls[j].text.toStdString();
            }
        }
    }
}

} // namespace
