#pragma once

#include <vkcore/VkCoreExport.h>

#include <QHash>
#include <QString>

// An INI store (config.ini, settings.ini) in the layout QSettings reads: "[Group]" sections, "key=value"
// lines, keys outside any group under "[General]", strings with special characters quoted and escaped.
// A change rewrites only its own line; every other byte of the file (keys of other programs, comments)
// stays. The change is made under the store's lock on the file as it is on disk at that moment, and
// the file is replaced whole or not at all.
class VKCORE_EXPORT VkIniFile
{
public:
    explicit VkIniFile(const QString& path);

    QString path() const { return m_path; }
    // Reads the file again. A missing file is an empty store; a file that cannot be read (not a
    // regular file, too large) reads as empty, and lastError says why.
    void reload();
    // The text kept under "Group/Key" (or a bare "Key" of [General]); a null string when absent.
    QString value(const QString& key) const;
    // Writes text under key. A file that is not an INI file (binary bytes, lines of no known form) is
    // moved aside first, as "<file>.broken-<time>", and lastError names it. False with error when
    // the new file could not be written; the old one is then untouched and value() still gives text
    // for the rest of the run.
    bool setValue(const QString& key, const QString& text, QString* error);
    // The problem of the last reload or setValue; empty when it went well.
    QString lastError() const { return m_lastError; }

    // A store of a few flags and addresses; a larger file is not one of ours and is not read whole.
    static constexpr qint64 kMaxBytes = qint64{1024} * 1024;

private:
    QString m_path;
    QHash<QString, QString> m_values;
    QString m_lastError;
};
