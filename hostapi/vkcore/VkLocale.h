#pragma once

#include <vkcore/VkCoreExport.h>
#include <vkcore/VkSingleton.h>

#include <QString>

#include <memory>

// The user interface language. Reached as VkSingleton<VkLocale>::instance(); that one function is
// defined inside VkCore so that every library of the process shares the same instance.
class VKCORE_EXPORT VkLocale
{
public:
    enum VkLanguageType : int
    {
        LanguageEnglish = 1,
        LanguageChineseSimplified = 2,
        LanguageJapanese = 3,
        LanguageGerman = 4,
        LanguageItalian = 5,
        LanguageFrench = 6,
        LanguagePortuguese = 7,
        LanguageSpanish = 8,
        LanguageDutch = 9,
        LanguageRussian = 10,
        LanguageKorean = 11,
        LanguageChineseTraditional = 12,
    };

    VkLanguageType languageType() const;

    // Loads "vkpopupdialog_<code>.qm" from the first folder that holds it (VK_TRANSLATIONS_DIR,
    // <app dir>/../share/vkpopupdialog/translations, <app dir>/translations, ":/translations") and
    // installs it in place of the previous one; English needs no file. Qt's own catalogue
    // "qtbase_<code>.qm" (the same folders, then Qt's translations folder) is installed beside it,
    // so that Qt's file dialog and standard buttons speak the language too; without it the switch
    // still succeeds. On failure (unknown language, no readable file of ours, no application
    // object) the current language stays and false comes back.
    bool setLanguage(VkLanguageType type);
    // Why the last setLanguage failed; empty after a success.
    QString lastError() const;

    // "de" for German and so on; an empty string for a value that is no language.
    static QString languageCode(VkLanguageType type);

private:
    friend class VkSingleton<VkLocale>;
    VkLocale();
    ~VkLocale();
    Q_DISABLE_COPY(VkLocale)

    class Private;
    const std::unique_ptr<Private> d;
};

template <>
VKCORE_EXPORT VkLocale* VkSingleton<VkLocale>::instance();
