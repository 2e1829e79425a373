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

#include <QMap>
#include <QPointer>

#include <memory>

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

QString titleOf(const QWidget* dialog)
{
    const auto* bar = dialog->findChild<VkTopLevelWindowTitleBar*>();
    return bar ? bar->TitleName() : QString();
}

QString textOf(const QWidget* widget, const QByteArray& property)
{
    return property == kTitle ? titleOf(widget) : widget->property(property.constData()).toString();
}

} // namespace

class TestLanguageSwitch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void switchRetranslatesOpenDialogs_data();
    void switchRetranslatesOpenDialogs();

private:
    std::unique_ptr<IVkAbstractMediaItem> m_clip;
    std::unique_ptr<IVkAbstractMediaItem> m_audioVideo;
    QMap<QString, QPointer<QWidget>> m_dialogs;
};

void TestLanguageSwitch::initTestCase()
{
    QString message;
    QVERIFY2(VkMediaTestFiles::ensure(&message), qPrintable(message));
    QString error;
    m_clip = VkMediaItemFactory::create(QString::fromStdString(VkMediaTestFiles::path("scenes.mp4")), &error);
    QVERIFY2(m_clip, qPrintable(error));
    m_audioVideo =
        VkMediaItemFactory::create(QString::fromStdString(VkMediaTestFiles::path("av.mp4")), &error);
    QVERIFY2(m_audioVideo, qPrintable(error));
}

// Every dialog is open at once, shown without a modal run, as a host may keep several.
void TestLanguageSwitch::init()
{
    QCOMPARE(VkSingleton<VkLocale>::instance()->languageType(), VkLocale::LanguageEnglish);
    m_dialogs.insert(QStringLiteral("startup"), new VkStartupDlg(nullptr));
    m_dialogs.insert(QStringLiteral("project settings"), new VkProjectSettingDialog(nullptr));
    m_dialogs.insert(QStringLiteral("scene detection"), new VkScenceDetectionDlg(m_clip.get(), nullptr));
    m_dialogs.insert(QStringLiteral("properties"), new VkMediaPropertyDialog(m_audioVideo.get(), nullptr));
    m_dialogs.insert(
        QStringLiteral("unsupported image"),
        new VkUnsupportedImgFileDialog({QStringLiteral("big.png"), QStringLiteral("huge.jpg")}, nullptr));
    // The offscreen platform says so when a window's layout sets its size limits as it is first
    // shown: scene detection and the unsupported image dialog do (the others are fixed from the start).
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    QTest::ignoreMessage(QtWarningMsg, kNoSizeHints);
    for (QWidget* dialog : qAsConst(m_dialogs))
        dialog->show();
}

void TestLanguageSwitch::cleanup()
{
    QVERIFY(switchTo(VkLocale::LanguageEnglish));
    for (QWidget* dialog : qAsConst(m_dialogs))
        delete dialog;
    m_dialogs.clear();
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void TestLanguageSwitch::switchRetranslatesOpenDialogs_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");

    // The startup window sets every text again, and builds its ratio list anew in the new language.
    QTest::newRow("startup: caption") << "startup" << QByteArray("text") << "New Project"
                                      << "Neues Projekt";
    QTest::newRow("startup: heading") << "startup" << QByteArray("text") << "Project Library"
                                      << "Projektbibliothek";
    QTest::newRow("startup: search placeholder") << "startup" << QByteArray("placeholderText") << "Search"
                                                 << "Suchen";
    QTest::newRow("startup: ratio list refilled")
        << "startup" << QByteArray("currentText") << "16:9 (Widescreen)"
        << "16:9 (Breitbild)";

    // The project settings dialog keeps its own texts; its panel retranslates its captions. The
    // times sign and the colour space names are never translated.
    QTest::newRow("project settings: title stays")
        << "project settings" << QByteArray(kTitle) << "Project Settings"
        << "Project Settings";
    QTest::newRow("project settings: CANCEL stays") << "project settings" << QByteArray("text") << "CANCEL"
                                                    << "CANCEL";
    QTest::newRow("project settings: panel caption")
        << "project settings" << QByteArray("text") << "Resolution:"
        << "Auflösung:";
    QTest::newRow("project settings: times sign stays") << "project settings" << QByteArray("text") << "x"
                                                        << "x";
    QTest::newRow("project settings: colour space stays")
        << "project settings" << QByteArray("currentText") << "SDR - Rec.709"
        << "SDR - Rec.709";

    // Scene detection sets its title once; the panel's buttons follow the language.
    QTest::newRow("scene detection: title stays")
        << "scene detection" << QByteArray(kTitle) << "Scene Detection"
        << "Scene Detection";
    QTest::newRow("scene detection: detect button") << "scene detection" << QByteArray("text") << "Detect"
                                                    << "Erkennen";
    QTest::newRow("scene detection: add button")
        << "scene detection" << QByteArray("text") << "Add To Timeline"
        << "Zur Zeitleiste";

    // The properties reset their title and every page's title and captions.
    QTest::newRow("properties: title") << "properties" << QByteArray(kTitle) << "Properties"
                                       << "Eigenschaften";
    QTest::newRow("properties: common caption") << "properties" << QByteArray("text") << "Location:"
                                                << "Speicherort:";
    QTest::newRow("properties: video page title") << "properties" << QByteArray("text") << "Video Info"
                                                  << "Video-Informationen";
    QTest::newRow("properties: audio caption") << "properties" << QByteArray("text") << "Sample Rate:"
                                               << "Abtastrate:";

    // The unsupported image dialog retranslates everything but its list of files.
    QTest::newRow("unsupported image: title") << "unsupported image" << QByteArray(kTitle) << "Information"
                                              << "Hinweis";
    QTest::newRow("unsupported image: message")
        << "unsupported image" << QByteArray("text")
        << "The image is too large, please compress the image first for better editing experience"
        << QString::fromUtf8("Das Bild ist zu groß. Bitte komprimieren Sie es zuerst, damit es sich besser "
                             "bearbeiten lässt.");
    QTest::newRow("unsupported image: file list stays")
        << "unsupported image" << QByteArray("plainText") << "1. big.png\n2. huge.jpg"
        << "1. big.png\n2. huge.jpg";
}

// German reaches every open dialog through the language change event alone, only where the dialog's
// hooks reset a text; switching back restores the English text.
void TestLanguageSwitch::switchRetranslatesOpenDialogs()
{
    QFETCH(QString, dialog);
    QFETCH(QByteArray, property);
    QFETCH(QString, english);
    QFETCH(QString, german);

    QWidget* window = m_dialogs.value(dialog);
    QVERIFY(window);
    // The widgets showing the English text now; found before the switch, checked after it.
    QList<QPointer<QWidget>> shown;
    if (property == kTitle) {
        QCOMPARE(titleOf(window), english);
        shown << window;
    } else {
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (textOf(child, property) == english)
                shown << child;
        }
    }
    QVERIFY2(!shown.isEmpty(), qPrintable(QStringLiteral("nothing in %1 shows \"%2\"").arg(dialog, english)));

    QVERIFY2(switchTo(VkLocale::LanguageGerman), qPrintable(VkSingleton<VkLocale>::instance()->lastError()));
    for (const QPointer<QWidget>& widget : qAsConst(shown)) {
        QVERIFY(widget);
        QCOMPARE(textOf(widget, property), german);
    }

    QVERIFY(switchTo(VkLocale::LanguageEnglish));
    for (const QPointer<QWidget>& widget : qAsConst(shown)) {
        QVERIFY(widget);
        QCOMPARE(textOf(widget, property), english);
    }
}

VK_TEST_MAIN(TestLanguageSwitch)
#include "tst_languageswitch.moc"
