#include "DialogUnderTest.h"
#include "VkTestMain.h"

#include <vkcore/VkLocale.h>

#include <QLabel>
#include <QPointer>

#include <map>
#include <memory>

using namespace VkTestLiterals;

namespace {

const char kNoSizeHints[] = "This plugin does not support propagateSizeHints()";

// The application posts the language change to each window; a host's event loop delivers it, here
// the posted events are delivered at once.
bool switchTo(VkLocale::VkLanguageType language)
{
    const bool switched = VkSingleton<VkLocale>::instance()->setLanguage(language);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return switched;
}

} // namespace

class TestLanguageSwitch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        IVkScenceDetect::setFactory([] { return new FakeDetector; });
    }
    void cleanupTestCase() { IVkScenceDetect::setFactory({}); }
    // Every dialog is open at once, shown without a modal run, as a host may keep several.
    void init()
    {
        QCOMPARE(VkSingleton<VkLocale>::instance()->languageType(), VkLocale::LanguageEnglish);
        // The offscreen platform says so when a window's layout sets its size limits as it is first
        // shown: scene detection and the unsupported image dialog do (the others are fixed from the start).
        QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
        QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
        for (const char* name : {"startup", "project settings", "scene detection", "video properties",
                                 "png properties", "unsupported image"}) {
            auto& open = m_dialogs[QString::fromLatin1(name)];
            open = std::make_unique<DialogUnderTest>(QString::fromLatin1(name));
            open->dialog->show();
        }
    }
    void cleanup()
    {
        QVERIFY(switchTo(VkLocale::LanguageEnglish));
        m_dialogs.clear();
        QCOMPARE(QApplication::topLevelWidgets().size(), 0);
    }
    void switchRetranslatesOpenDialogs_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        const auto add = [](const char* dialog, const char* property, const char* english,
                            const char* german) {
            QTest::addRow("%s: %s", dialog, english)
                << QString::fromLatin1(dialog) << QByteArray(property) << QString::fromUtf8(english)
                << QString::fromUtf8(german);
        };

        // The startup window sets every text again, and builds its ratio list anew in the new language.
        add("startup", "text", "New Project", "Neues Projekt");
        add("startup", "currentText", "16:9 (Widescreen)", "16:9 (Breitbild)");
        // The project settings dialog keeps its own texts (its title bar's among them); its panel
        // retranslates its captions.
        add("project settings", "text", "Project Settings", "Project Settings");
        add("project settings", "text", "Resolution:", "Auflösung:");
        // The scene detection panel's buttons follow the language.
        add("scene detection", "text", "Add To Timeline", "Zur Zeitleiste");
        // The properties reset their title (in the title bar) and every page's title and captions.
        add("video properties", "text", "Properties", "Eigenschaften");
        add("video properties", "text", "Video Info", "Video-Informationen");
        add("png properties", "text", "Straight Alpha", "Direktes Alpha");
        // The unsupported image dialog's title (in the title bar), and its longest text still fits.
        add("unsupported image", "text", "Information", "Hinweis");
        add("unsupported image", "text",
            "The image is too large, please compress the image first for better editing experience",
            "Das Bild ist zu groß. Bitte komprimieren Sie es zuerst, damit es sich besser bearbeiten lässt.");
    }
    // German reaches every open dialog through the language change event alone, only where the dialog's
    // hooks reset a text; switching back restores the English text.
    void switchRetranslatesOpenDialogs()
    {
        QFETCH(QString, dialog);
        QFETCH(QByteArray, property);
        QFETCH(QString, english);
        QFETCH(QString, german);

        QVERIFY(m_dialogs.count(dialog));
        QWidget* window = m_dialogs.at(dialog)->dialog.get();
        // The widgets showing the English text now; found before the switch, checked after it.
        QList<QPointer<QWidget>> shown;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (widget->property(property.constData()).toString() == english)
                shown << widget;
        }
        QVERIFY2(!shown.isEmpty(), qPrintable("nothing in %1 shows \"%2\""_s.arg(dialog, english)));

        // German, then back to English. A longer translation must still fit where the window was laid
        // out in English.
        for (const auto& [language, text] :
             {qMakePair(VkLocale::LanguageGerman, german), qMakePair(VkLocale::LanguageEnglish, english)}) {
            QVERIFY2(switchTo(language), qPrintable(VkSingleton<VkLocale>::instance()->lastError()));
            for (const QPointer<QWidget>& widget : qAsConst(shown)) {
                QVERIFY(widget);
                QCOMPARE(widget->property(property.constData()).toString(), text);
                if (const auto* label = qobject_cast<const QLabel*>(widget.data());
                    label && !label->wordWrap())
                    QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width(),
                             qPrintable("\"%1\" is cut off"_s.arg(text)));
            }
        }
    }

private:
    std::map<QString, std::unique_ptr<DialogUnderTest>> m_dialogs;
};

VK_TEST_MAIN(TestLanguageSwitch)
#include "tst_languageswitch.moc"
