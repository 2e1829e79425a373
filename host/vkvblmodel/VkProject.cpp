#include "VkProject.h"

#include "VkProjectDocument.h"
#include "VkProjectSequence.h"

#include <vkcore/VkError.h>
#include <vkcore/VkStoreLock.h>

#include <QBuffer>
#include <QFileInfo>
#include <QImage>

namespace VkVBLModelInternal {

namespace {
const char kUntitledName[] = "Untitled";
}

VkProject::VkProject()
    : m_document(VkProjectDocument::create(VKVBLMODEL::VkProjectConfig()))
    , m_sequence(std::make_unique<VkProjectSequence>(*this))
{}

VkProject::VkProject(const QString& path, const QJsonObject& document)
    : m_path(path)
    , m_document(document)
    , m_config(VkProjectDocument::configOf(document))
    , m_sequence(std::make_unique<VkProjectSequence>(*this))
{
    m_hasTimelineRate = VkProjectDocument::timelineRateOf(document, &m_timelineRate);
}

VkProject::~VkProject() = default;

void VkProject::getProjectConfig(VKVBLMODEL::VkProjectConfig& config) const
{
    config = m_config;
}

void VkProject::setProjectConfig(const VKVBLMODEL::VkProjectConfig& config)
{
    m_config = config;
    writeThrough(nullptr);
}

IVkProjectCompanion* VkProject::companion()
{
    return m_sequence.get();
}

QString VkProject::filePath() const
{
    return m_path;
}

QString VkProject::name() const
{
    QString stored = VkProjectDocument::nameOf(m_document);
    if (!stored.isEmpty())
        return stored;
    if (!m_path.isEmpty())
        return QFileInfo(m_path).completeBaseName();
    return QLatin1String(kUntitledName);
}

QString VkProject::ownName() const
{
    return VkProjectDocument::nameOf(m_document);
}

bool VkProject::setThumbnail(const QImage& image, QString* error)
{
    QByteArray png;
    if (!image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return VkError::fail(error, QStringLiteral("The thumbnail could not be encoded as PNG"));
    }
    m_thumbnailPng = png;
    m_thumbnailChanged = true;
    return writeThrough(error);
}

QString VkProject::lastWriteError() const
{
    return m_lastWriteError;
}

VkFrameRate VkProject::timelineRate() const
{
    if (m_hasTimelineRate)
        return m_timelineRate;
    VkFrameRate rate;
    m_sequence->readPair(rate);
    return rate;
}

void VkProject::setTimelineRate(const VkFrameRate& rate)
{
    m_timelineRate = rate;
    m_hasTimelineRate = true;
    writeThrough(nullptr);
}

void VkProject::applyOwnState(QJsonObject& document) const
{
    VkProjectDocument::setConfig(document, m_config);
    if (m_hasTimelineRate)
        VkProjectDocument::setTimelineRate(document, m_timelineRate);
    if (m_thumbnailChanged)
        VkProjectDocument::setThumbnailPng(document, m_thumbnailPng);
}

bool VkProject::writeThrough(QString* error)
{
    applyOwnState(m_document);
    if (m_path.isEmpty()) {
        m_lastWriteError.clear();
        return true;
    }
    const auto failed = [this, error](const QString& message) {
        m_lastWriteError = message;
        return VkError::fail(error, message);
    };
    // Another editor writing the same project between our read and our write would lose its change.
    VkStoreLock lock(m_path);
    QString lockError;
    if (!lock.lock(&lockError))
        return failed(lockError);
    // Start from the file as it is now, so keys another program added since we read it are kept.
    QJsonObject onDisk = m_document;
    if (QFileInfo::exists(m_path)) {
        QString readError;
        if (!VkProjectDocument::read(m_path, &onDisk, &readError))
            return failed(readError + QStringLiteral("; left as it is"));
        applyOwnState(onDisk);
    }
    QString writeError;
    if (!VkProjectDocument::write(m_path, onDisk, &writeError))
        return failed(writeError);
    m_document = onDisk;
    m_lastWriteError.clear();
    return true;
}

bool VkProject::saveAs(const QString& path, QString* error)
{
    if (path.isEmpty())
        return VkError::fail(error, QStringLiteral("No file name to save the project to"));
    applyOwnState(m_document);
    VkStoreLock lock(path);
    QString writeError;
    if (!lock.lock(&writeError) || !VkProjectDocument::write(path, m_document, &writeError))
        return VkError::fail(error, writeError);
    m_path = QFileInfo(path).absoluteFilePath();
    m_lastWriteError.clear();
    return true;
}

} // namespace VkVBLModelInternal
