#include <vkcore/VkLocale.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

namespace {
const char kTranslationsVariable[] = "VK_TRANSLATIONS_DIR";
const char kFilePrefix[] = "vkpopupdialog_";
const char kFileSuffix[] = ".qm";
const char kInstalledFolder[] = "../share/vkpopupdialog/translations";
const char kBesideAppFolder[] = "translations";
const char kResourceFolder[] = ":/translations";

QStringList searchFolders()
{
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable(kTranslationsVariable);
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty()) {
        folders << QDir::cleanPath(QDir(appDir).filePath(QLatin1String(kInstalledFolder)));
        folders << QDir(appDir).filePath(QLatin1String(kBesideAppFolder));
    }
    folders << QLatin1String(kResourceFolder);
    return folders;
}
} // namespace

class VkLocale::Private
{
public:
    VkLanguageType language = LanguageEnglish;
    std::unique_ptr<QTranslator> translator;
    QString lastError;
};

VkLocale::VkLocale()
    : d(std::make_unique<Private>())
{}

VkLocale::~VkLocale() = default;

template <>
VkLocale* VkSingleton<VkLocale>::instance()
{
    static VkLocale theInstance;
    return &theInstance;
}

VkLocale::VkLanguageType VkLocale::languageType() const
{
    return d->language;
}

QString VkLocale::lastError() const
{
    return d->lastError;
}

QString VkLocale::languageCode(VkLanguageType type)
{
    switch (type) {
    case LanguageEnglish:
        return QStringLiteral("en");
    case LanguageChineseSimplified:
        return QStringLiteral("zh_CN");
    case LanguageJapanese:
        return QStringLiteral("ja");
    case LanguageGerman:
        return QStringLiteral("de");
    case LanguageItalian:
        return QStringLiteral("it");
    case LanguageFrench:
        return QStringLiteral("fr");
    case LanguagePortuguese:
        return QStringLiteral("pt");
    case LanguageSpanish:
        return QStringLiteral("es");
    case LanguageDutch:
        return QStringLiteral("nl");
    case LanguageRussian:
        return QStringLiteral("ru");
    case LanguageKorean:
        return QStringLiteral("ko");
    case LanguageChineseTraditional:
        return QStringLiteral("zh_TW");
    }
    return QString();
}

bool VkLocale::setLanguage(VkLanguageType type)
{
    const QString code = languageCode(type);
    if (code.isEmpty()) {
        d->lastError = QStringLiteral("%1 is not a language").arg(int(type));
        return false;
    }
    if (!QCoreApplication::instance()) {
        d->lastError = QStringLiteral("no application object to install a translation into");
        return false;
    }

    if (type == LanguageEnglish) {
        // The texts in the code are English already; removing the translator is the whole switch.
        if (d->translator)
            QCoreApplication::removeTranslator(d->translator.get());
        d->translator.reset();
        d->language = type;
        d->lastError.clear();
        return true;
    }

    const QString fileName = QLatin1String(kFilePrefix) + code + QLatin1String(kFileSuffix);
    auto translator = std::make_unique<QTranslator>();
    bool loaded = false;
    for (const QString& folder : searchFolders()) {
        const QString path = QDir(folder).filePath(fileName);
        // A damaged file in one folder should not hide a good one further down the list.
        if (QFileInfo(path).isFile() && translator->load(path)) {
            loaded = true;
            break;
        }
    }
    if (!loaded) {
        d->lastError =
            QStringLiteral("no readable %1 in %2").arg(fileName, searchFolders().join(QLatin1String(", ")));
        return false;
    }

    // Install before removing so that no moment passes with untranslated texts on screen.
    QCoreApplication::installTranslator(translator.get());
    if (d->translator)
        QCoreApplication::removeTranslator(d->translator.get());
    d->translator = std::move(translator);
    d->language = type;
    d->lastError.clear();
    return true;
}
