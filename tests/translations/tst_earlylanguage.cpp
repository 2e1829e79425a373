#include "VkTestMain.h"

#include <vkcore/VkLocale.h>

// A host chooses the language first thing, before it has used (or even loaded) the dialog library.
// This program links only the core library, as such a host is all it has loaded at that moment.
class TestEarlyLanguage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void germanBeforeAnyDialog_data();
    void germanBeforeAnyDialog();
};

void TestEarlyLanguage::cleanup()
{
    VkSingleton<VkLocale>::instance()->setLanguage(VkLocale::LanguageEnglish);
}

void TestEarlyLanguage::germanBeforeAnyDialog_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("german");
    // One text of a dialog, one of the widget toolkit: the one catalogue carries both.
    QTest::newRow("project settings title") << "VkProjectSettingDialog"
                                            << "Project Settings"
                                            << "Projekteinstellungen";
    QTest::newRow("message box button") << "VMessageDialog"
                                        << "Cancel"
                                        << "Abbrechen";
    // Qt's own catalogue, loaded with ours: the file dialog and the standard buttons.
    QTest::newRow("Qt file dialog") << "QFileDialog"
                                    << "Look in:"
                                    << "Suchen in:";
    QTest::newRow("Qt standard button") << "QPlatformTheme"
                                        << "Cancel"
                                        << "Abbrechen";
}

// Catches a catalogue that only the dialog library registers: the switch then fails with "no
// readable" catalogue and every text stays English.
void TestEarlyLanguage::germanBeforeAnyDialog()
{
    QFETCH(QString, context);
    QFETCH(QString, english);
    QFETCH(QString, german);
    qunsetenv("VK_TRANSLATIONS_DIR");
    VkLocale* locale = VkSingleton<VkLocale>::instance();
    QVERIFY2(locale->setLanguage(VkLocale::LanguageGerman), qPrintable(locale->lastError()));
    QCOMPARE(locale->languageType(), VkLocale::LanguageGerman);
    const QByteArray contextBytes = context.toUtf8();
    const QByteArray englishBytes = english.toUtf8();
    QCOMPARE(QCoreApplication::translate(contextBytes.constData(), englishBytes.constData()), german);
}

VK_TEST_MAIN(TestEarlyLanguage)
#include "tst_earlylanguage.moc"
