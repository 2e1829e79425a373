#pragma once

#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/VkFrameRate.h>
#include <vkvblmodel/VkProjectConfig.h>

#include <QByteArray>
#include <QJsonObject>

#include <memory>

namespace VkVBLModelInternal {

class VkProjectSequence;

// A project held in memory as its whole JSON document, so keys of other versions survive. Each change
// is written through to the file at once: the file is read again first, our state laid over it, and
// the result replaces the file atomically. A file that no longer parses is never overwritten.
class VkProject final : public IVkProject
{
public:
    // An unsaved project with the default configuration.
    VkProject();
    // A project from an already checked document of the file at path.
    VkProject(const QString& path, const QJsonObject& document);
    ~VkProject() override;

    void getProjectConfig(VKVBLMODEL::VkProjectConfig& config) const override;
    void setProjectConfig(const VKVBLMODEL::VkProjectConfig& config) override;
    IVkProjectCompanion* companion() override;
    QString filePath() const override;
    QString name() const override;
    bool setThumbnail(const QImage& image, QString* error) override;
    QString lastWriteError() const override;

    // The name kept in the project file itself; empty when the project has none of its own.
    QString ownName() const;

    // The frame rate the timeline uses; the project's own until a pair is applied.
    VkFrameRate timelineRate() const;
    void setTimelineRate(const VkFrameRate& rate);

    // Writes the project to path, which becomes its file.
    bool saveAs(const QString& path, QString* error);

private:
    Q_DISABLE_COPY(VkProject)

    // Lays what this object owns over document.
    void applyOwnState(QJsonObject& document) const;
    bool writeThrough(QString* error);

    QString m_path;
    QJsonObject m_document;
    VKVBLMODEL::VkProjectConfig m_config;
    bool m_hasTimelineRate = false;
    VkFrameRate m_timelineRate;
    bool m_thumbnailChanged = false;
    QByteArray m_thumbnailPng;
    QString m_lastWriteError;
    const std::unique_ptr<VkProjectSequence> m_sequence;
};

} // namespace VkVBLModelInternal
