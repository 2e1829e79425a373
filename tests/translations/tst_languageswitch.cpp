#include "VkMediaTestFiles.h"
#include "VkTestMain.h"

#include <mediaproperty/VkMediaPropertyDialog.h>
#include <projectsetting/VkProjectSettingDialog.h>
#include <scenedetect/VkScenceDetectionDlg.h>
#include <startup/VkStartupDlg.h>
#include <unsupportedimage/VkUnsupportedImgFileDialog.h>
#include <vkcore/VkLocale.h>
#include <vkvblmodel/IVkAbstractMediaItem.h>
#include <vkvblmodel/VkMediaItemFactory.h>
#include <vkwidgets/VkTopLevelWindowTitleBar.h>

#include <QLabel>
#include <QMap>
#include <QPointer>

#include <map>
#include <memory>

using namespace VkTestLiterals;

namespace {

// The pseudo-property of a row that means the text in the window's title bar.
const char kTitle[] = "title";
const char kNoSizeHints[] = "This plugin does not support propagateSizeHints()";

// The application posts the language change to each window; a host's event loop delivers it, here
// the posted events are delivered at once.
bool switchTo(VkLocale::VkLanguageType language)
{
    const bool switched = VkSingleton<VkLocale>::instance()->setLanguage(language);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return switched;
}

// A widget's text in `property`, or for kTitle the text in the window's title bar.
QString textOf(const QWidget* widget, const QByteArray& property)
{
    if (property != kTitle)
        return widget->property(property.constData()).toString();
    const auto* bar = widget->findChild<VkTopLevelWindowTitleBar*>();
    return bar ? bar->TitleName() : QString();
}

} // namespace

class TestLanguageSwitch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(VkMediaTestFiles::ensure(&error), qPrintable(error));
        for (const char* name : {"scenes.mp4", "av.mp4", "alpha.png"}) {
            m_items[name] = VkMediaItemFactory::create(
                QString::fromStdString(VkMediaTestFiles::path(QLatin1String(name))), &error);
            QVERIFY2(m_items[name], qPrintable(error));
        }
    }
    // Every dialog is open at once, shown without a modal run, as a host may keep several.
    void init()
    {
        QCOMPARE(VkSingleton<VkLocale>::instance()->languageType(), VkLocale::LanguageEnglish);
        m_dialogs.insert("startup"_s, new VkStartupDlg(nullptr));
        m_dialogs.insert("project settings"_s, new VkProjectSettingDialog(nullptr));
        m_dialogs.insert("scene detection"_s, new VkScenceDetectionDlg(m_items["scenes.mp4"].get(), nullptr));
        m_dialogs.insert("properties"_s, new VkMediaPropertyDialog(m_items["av.mp4"].get(), nullptr));
        m_dialogs.insert("png properties"_s, new VkMediaPropertyDialog(m_items["alpha.png"].get(), nullptr));
        m_dialogs.insert("unsupported image"_s,
                         new VkUnsupportedImgFileDialog({"big.png"_s, "huge.jpg"_s}, nullptr));
        // The offscreen platform says so when a window's layout sets its size limits as it is first
        // shown: scene detection and the unsupported image dialog do (the others are fixed from the start).
        QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
        QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
        for (QWidget* dialog : qAsConst(m_dialogs))
            dialog->show();
    }
    void cleanup()
    {
        QVERIFY(switchTo(VkLocale::LanguageEnglish));
        for (QWidget* dialog : qAsConst(m_dialogs))
            delete dialog;
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
        // The project settings dialog keeps its own texts; its panel retranslates its captions.
        add("project settings", kTitle, "Project Settings", "Project Settings");
        add("project settings", "text", "Resolution:", "Auflösung:");
        // The scene detection panel's buttons follow the language.
        add("scene detection", "text", "Add To Timeline", "Zur Zeitleiste");
        // The properties reset their title and every page's title and captions.
        add("properties", kTitle, "Properties", "Eigenschaften");
        add("properties", "text", "Video Info", "Video-Informationen");
        add("png properties", "text", "Straight Alpha", "Direktes Alpha");
        // The unsupported image dialog's title, and its longest text still fits.
        add("unsupported image", kTitle, "Information", "Hinweis");
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

        QWidget* window = m_dialogs.value(dialog);
        QVERIFY(window);
        // The widgets showing the English text now; found before the switch, checked after it.
        QList<QPointer<QWidget>> shown;
        for (QWidget* widget :
             property == kTitle ? QList<QWidget*>{window} : window->findChildren<QWidget*>()) {
            if (textOf(widget, property) == english)
                shown << widget;
        }
        QVERIFY2(!shown.isEmpty(),
                 qPrintable(QStringLiteral("nothing in %1 shows \"%2\"").arg(dialog, english)));

        QVERIFY2(switchTo(VkLocale::LanguageGerman),
                 qPrintable(VkSingleton<VkLocale>::instance()->lastError()));
        for (const QPointer<QWidget>& widget : qAsConst(shown)) {
            QVERIFY(widget);
            QCOMPARE(textOf(widget, property), german);
            // A longer translation must still fit where the window was laid out in English.
            if (const auto* label = qobject_cast<const QLabel*>(widget.data()); label && !label->wordWrap())
                QVERIFY2(label->fontMetrics().horizontalAdvance(german) <= label->contentsRect().width(),
                         qPrintable(QStringLiteral("\"%1\" is cut off").arg(german)));
        }

        QVERIFY(switchTo(VkLocale::LanguageEnglish));
        for (const QPointer<QWidget>& widget : qAsConst(shown)) {
            QVERIFY(widget);
            QCOMPARE(textOf(widget, property), english);
        }
    }

private:
    std::map<std::string, std::unique_ptr<IVkAbstractMediaItem>> m_items;
    QMap<QString, QPointer<QWidget>> m_dialogs;
};

VK_TEST_MAIN(TestLanguageSwitch)
#include "tst_languageswitch.moc"
