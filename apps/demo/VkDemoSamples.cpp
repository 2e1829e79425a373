#include "VkDemoSamples.h"

#include <vkcore/IVkAppInfo.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

#include <exiv2/exiv2.hpp>

#include <cmath>
#include <functional>

namespace {

constexpr QSize kPictureSize{320, 180};
constexpr QSize kPngSize{480, 270};
constexpr QSize kJpegSize{640, 426};
constexpr int kJpegQuality = 90;
// Making the clip takes a second or two; a stuck encoder must not hang the demo.
constexpr int kFfmpegTimeoutMs = 120 * 1000;

struct Sample
{
    const char* name;
    int ratio;
    QSize size;
    std::function<void(QPainter&, const QRectF&)> draw;
};

void sky(QPainter& p, const QRectF& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void hills(QPainter& p, const QRectF& r, const QColor& color, qreal base, qreal amplitude, qreal phase)
{
    QPainterPath path(QPointF(r.left(), r.bottom()));
    for (int x = 0; x <= int(r.width()); x += 8) {
        const qreal y =
            r.top() + r.height() * base - amplitude * std::sin((x + phase) / 37.0) * std::cos(x / 91.0);
        path.lineTo(r.left() + x, y);
    }
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    p.fillPath(path, color);
}

QList<Sample> samples()
{
    return {
        {"Beach Trip",
         1,
         {1920, 1080},
         [](QPainter& p, const QRectF& r) {
             sky(p, r, QColor("#3ca9f8"), QColor("#bfe6ff"));
             p.setBrush(QColor("#fff3b0"));
             p.setPen(Qt::NoPen);
             p.drawEllipse(QPointF(r.width() * 0.78, r.height() * 0.25), 22, 22);
             p.fillRect(QRectF(0, r.height() * 0.58, r.width(), r.height() * 0.2), QColor("#1f7bbf"));
             p.fillRect(QRectF(0, r.height() * 0.78, r.width(), r.height() * 0.22), QColor("#f2d49b"));
         }},
        {"Mountain Sunset",
         6,
         {2560, 1080},
         [](QPainter& p, const QRectF& r) {
             sky(p, r, QColor("#2b1a4a"), QColor("#ff8a4c"));
             p.setBrush(QColor("#ffd27a"));
             p.setPen(Qt::NoPen);
             p.drawEllipse(QPointF(r.width() * 0.35, r.height() * 0.62), 30, 30);
             hills(p, r, QColor("#3a2546"), 0.62, 40, 0);
             hills(p, r, QColor("#1c1226"), 0.8, 25, 120);
         }},
        {"Wedding Highlights",
         1,
         {3840, 2160},
         [](QPainter& p, const QRectF& r) {
             sky(p, r, QColor("#f7e1e6"), QColor("#e9b7c4"));
             p.setPen(Qt::NoPen);
             QRandomGenerator rng(7);
             for (int i = 0; i < 40; ++i) {
                 p.setBrush(QColor(255, 255, 255, 60 + rng.bounded(120)));
                 p.drawEllipse(QPointF(rng.bounded(int(r.width())), rng.bounded(int(r.height()))),
                               3 + rng.bounded(10), 3 + rng.bounded(10));
             }
         }},
        {"City at Night",
         3,
         {1080, 1920},
         [](QPainter& p, const QRectF& r) {
             sky(p, r, QColor("#0b1026"), QColor("#27305c"));
             QRandomGenerator rng(3);
             qreal x = 0;
             while (x < r.width()) {
                 const qreal w = 18 + rng.bounded(30);
                 const qreal h = r.height() * (0.3 + rng.bounded(50) / 100.0);
                 p.fillRect(QRectF(x, r.height() - h, w - 3, h), QColor("#141a33"));
                 for (qreal wy = r.height() - h + 6; wy < r.height() - 6; wy += 10)
                     for (qreal wx = x + 4; wx < x + w - 8; wx += 8)
                         if (rng.bounded(3) == 0)
                             p.fillRect(QRectF(wx, wy, 3, 4), QColor("#ffd86b"));
                 x += w;
             }
         }},
        {"Forest Walk",
         4,
         {1440, 1080},
         [](QPainter& p, const QRectF& r) {
             sky(p, r, QColor("#cfe8c8"), QColor("#7fb77e"));
             QRandomGenerator rng(11);
             p.setPen(Qt::NoPen);
             for (int i = 0; i < 14; ++i) {
                 const qreal cx = rng.bounded(int(r.width()));
                 const qreal h = 70 + rng.bounded(80);
                 const QPolygonF tree(QVector<QPointF>{
                     {cx, r.height() - h}, {cx - h / 4, r.height()}, {cx + h / 4, r.height()}});
                 p.setBrush(QColor::fromHsv(110 + rng.bounded(30), 160, 70 + rng.bounded(60)));
                 p.drawPolygon(tree);
             }
         }},
        {"Desert Timelapse",
         1,
         {1920, 1080},
         [](QPainter& p, const QRectF& r) {
             sky(p, r, QColor("#f6a04d"), QColor("#fde3a7"));
             hills(p, r, QColor("#d98b3a"), 0.7, 18, 40);
             hills(p, r, QColor("#b8692a"), 0.85, 12, 200);
         }},
    };
}

QImage picture(const Sample& s)
{
    QImage image(kPictureSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    s.draw(p, QRectF(QPointF(0, 0), QSizeF(kPictureSize)));
    return image;
}

QString sampleFolder()
{
    return IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderSampleMedia);
}

// Five shots of 40 frames at 25 fps from different generators, so that every cut (at frames 40, 80,
// 120 and 160) is a hard one, with a beeping tone as the audio track.
QStringList clipArguments(const QString& output)
{
    const QString size = QStringLiteral("640x360");
    const QString rate = QStringLiteral("25");
    const QStringList shots{
        QStringLiteral("testsrc2=s=%1:r=%2:d=1.6").arg(size, rate),
        QStringLiteral("mandelbrot=s=%1:r=%2,trim=end_frame=40").arg(size, rate),
        QStringLiteral("smptehdbars=s=%1:r=%2:d=1.6").arg(size, rate),
        QStringLiteral("gradients=s=%1:r=%2:d=1.6:speed=0.05:seed=7").arg(size, rate),
        QStringLiteral("life=s=%1:r=%2:mold=10:ratio=0.1:seed=5:life_color=#e0c060:death_color=#203050,"
                       "trim=end_frame=40")
            .arg(size, rate),
    };
    QStringList args{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                     QStringLiteral("-nostdin"), QStringLiteral("-y")};
    QString graph;
    QString inputs;
    for (int i = 0; i < shots.size(); ++i) {
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i") << shots.at(i);
        graph += QStringLiteral("[%1]format=yuv420p,setsar=1[s%1];").arg(i);
        inputs += QStringLiteral("[s%1]").arg(i);
    }
    args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
         << QStringLiteral("sine=frequency=330:beep_factor=3:sample_rate=48000:d=8");
    graph += inputs + QStringLiteral("concat=n=%1:v=1:a=0[v]").arg(shots.size());
    args << QStringLiteral("-filter_complex") << graph << QStringLiteral("-map") << QStringLiteral("[v]")
         << QStringLiteral("-map") << QStringLiteral("%1:a").arg(shots.size()) << QStringLiteral("-c:v")
         << QStringLiteral("libx264") << QStringLiteral("-preset") << QStringLiteral("veryfast")
         << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p") << QStringLiteral("-c:a")
         << QStringLiteral("aac") << QStringLiteral("-ac") << QStringLiteral("2")
         << QStringLiteral("-shortest") << QStringLiteral("-f") << QStringLiteral("mp4") << output;
    return args;
}

bool makeClip(const QString& path, QString* problem)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        *problem =
            QStringLiteral("The sample clip %1 was not made: the ffmpeg program is not installed "
                           "(scripts/deps installs it). Choose a clip of your own for scene detection.")
                .arg(path);
        return false;
    }
    // Written under another name first, so that a half-made clip is never taken for the sample.
    const QString partial = path + QStringLiteral(".part");
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(ffmpeg, clipArguments(partial));
    const bool finished = process.waitForFinished(kFfmpegTimeoutMs);
    if (!finished)
        process.kill();
    if (!finished || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        *problem = QStringLiteral("The sample clip %1 was not made: ffmpeg failed%2")
                       .arg(path, output.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + output);
        QFile::remove(partial);
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(partial, path)) {
        *problem = QStringLiteral("The sample clip %1 was not made: the file cannot be written.").arg(path);
        QFile::remove(partial);
        return false;
    }
    return true;
}

// A badge on a transparent background: its soft edges and the see-through hole show how the alpha
// channel is read.
QImage alphaPicture()
{
    QImage image(kPngSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(kPngSize));
    QRadialGradient glow(r.center(), r.height() * 0.5);
    glow.setColorAt(0, QColor(60, 169, 248, 230));
    glow.setColorAt(0.7, QColor(60, 169, 248, 120));
    glow.setColorAt(1, QColor(60, 169, 248, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(r.center(), r.height() * 0.5, r.height() * 0.5);
    QPainterPath ring;
    ring.addEllipse(r.center(), r.height() * 0.32, r.height() * 0.32);
    ring.addEllipse(r.center(), r.height() * 0.16, r.height() * 0.16);
    p.setBrush(QColor(255, 210, 122, 200));
    p.drawPath(ring);
    p.setBrush(QColor(255, 255, 255, 255));
    p.drawRoundedRect(QRectF(r.width() * 0.08, r.height() * 0.4, r.width() * 0.14, r.height() * 0.2), 8, 8);
    return image;
}

QImage photoPicture()
{
    QImage image(kJpegSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(kJpegSize));
    sky(p, r, QColor("#f6a04d"), QColor("#fde3a7"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#fff1c1"));
    p.drawEllipse(QPointF(r.width() * 0.7, r.height() * 0.45), 40, 40);
    hills(p, r, QColor("#b07040"), 0.62, 30, 10);
    hills(p, r, QColor("#6b3d22"), 0.8, 20, 150);
    return image;
}

// A lake at dawn, credited to a stock site through the record beside it.
QImage stockPicture()
{
    QImage image(kJpegSize, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(kJpegSize));
    sky(p, r, QColor("#7aa7d9"), QColor("#f3d9c4"));
    hills(p, r, QColor("#5d7391"), 0.55, 40, 60);
    hills(p, r, QColor("#3b4e63"), 0.66, 18, 200);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#8fb3d6"));
    p.drawRect(QRectF(0, r.height() * 0.72, r.width(), r.height() * 0.28));
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool makePng(const QString& path, QString* problem)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!alphaPicture().save(&buffer, "PNG") || !writeFile(path, bytes)) {
        *problem = QStringLiteral("The sample picture %1 cannot be written.").arg(path);
        return false;
    }
    return true;
}

// The EXIF facts a camera would write, which Qt's JPEG writer cannot: maker, model, exposure and when
// the picture was taken.
bool addCameraFacts(const QString& path)
{
    constexpr const char* taken = "2024:06:21 19:42:05";
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(path).toStdString());
        Exiv2::ExifData& exif = image->exifData();
        exif["Exif.Image.Make"] = "Vk Optics";
        exif["Exif.Image.Model"] = "Demo Camera 7";
        exif["Exif.Image.DateTime"] = taken;
        exif["Exif.Photo.DateTimeOriginal"] = taken;
        // A long exposure at dusk: the properties count whole seconds, so a short one would show none.
        exif["Exif.Photo.ExposureTime"] = Exiv2::URational(2, 1);
        image->writeMetadata();
        return true;
    } catch (const std::exception&) {
        // Exiv2 reports a file it cannot write by throwing.
        return false;
    }
}

bool makeJpeg(const QString& path, QString* problem)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(kJpegQuality);
    if (!writer.write(photoPicture()) || !writeFile(path, bytes) || !addCameraFacts(path)) {
        *problem = QStringLiteral("The sample photo %1 cannot be written.").arg(path);
        return false;
    }
    return true;
}

// The picture and, beside it, the record that makes it a stock item (see the README's
// "Media records"): its name and the credit the properties window shows.
bool makeStockPhoto(const QString& path, QString* problem)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(kJpegQuality);
    // The size the site offers is the picture's own: the properties show it as the resolution.
    const QJsonArray qualities{QJsonObject{{QStringLiteral("level"), 4},
                                           {QStringLiteral("width"), kJpegSize.width()},
                                           {QStringLiteral("height"), kJpegSize.height()}}};
    const QJsonObject stock{
        {QStringLiteral("site"), 2},      // Pixabay
        {QStringLiteral("source"), 1000}, // a Pixabay photo: "Photo by ... on Pixabay"
        {QStringLiteral("authorName"), QStringLiteral("Vk Studio")},
        {QStringLiteral("authorUrl"), QStringLiteral("https://pixabay.com/users/vk-studio/")},
        {QStringLiteral("licenseUrl"), QStringLiteral("https://pixabay.com/service/license-summary/")},
        {QStringLiteral("qualities"), qualities}};
    const QByteArray record =
        QJsonDocument(QJsonObject{{QStringLiteral("name"), QStringLiteral("Lake at dawn")},
                                  {QStringLiteral("stock"), stock}})
            .toJson(QJsonDocument::Indented);
    if (!writer.write(stockPicture()) || !writeFile(path + QStringLiteral(".vkmeta.json"), record) ||
        !writeFile(path, bytes)) {
        *problem = QStringLiteral("The sample stock photo %1 cannot be written.").arg(path);
        return false;
    }
    return true;
}

} // namespace

QString VkDemoSamples::clipPath()
{
    return QDir(sampleFolder()).filePath(QStringLiteral("sample-clip.mp4"));
}

QString VkDemoSamples::pngPath()
{
    return QDir(sampleFolder()).filePath(QStringLiteral("sample-alpha.png"));
}

QString VkDemoSamples::jpegPath()
{
    return QDir(sampleFolder()).filePath(QStringLiteral("sample-photo.jpg"));
}

QString VkDemoSamples::stockPhotoPath()
{
    return QDir(sampleFolder()).filePath(QStringLiteral("sample-stock-photo.jpg"));
}

QStringList VkDemoSamples::ensureMedia(QStringList* problems)
{
    using Maker = bool (*)(const QString&, QString*);
    const QList<QPair<QString, Maker>> files{{clipPath(), &makeClip},
                                             {pngPath(), &makePng},
                                             {jpegPath(), &makeJpeg},
                                             {stockPhotoPath(), &makeStockPhoto}};
    QStringList made;
    for (const auto& file : files) {
        QString problem;
        if (QFileInfo::exists(file.first) || file.second(file.first, &problem))
            made << file.first;
        else if (problems)
            *problems << problem;
    }
    return made;
}

QStringList VkDemoSamples::ensureProjects(QString* error)
{
    const QDir folder(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderProjects));
    IVkProjectManager* manager = IVkProjectManager::getInstance();
    QStringList paths;
    for (const Sample& s : samples()) {
        const QString path = folder.filePath(
            QString::fromLatin1(s.name).toLower().replace(QLatin1Char(' '), QLatin1Char('-')) +
            QLatin1Char('.') + VkProjectSuffixHelper::projectFileSuffix());
        paths << path;
        if (QFileInfo::exists(path))
            continue;
        manager->newProject();
        VKVBLMODEL::VkProjectConfig config;
        manager->currentProject()->getProjectConfig(config);
        config.aspectRatio = static_cast<VKVBLMODEL::VkProjectAspectRatioType>(s.ratio);
        config.resolution = s.size;
        manager->currentProject()->setProjectConfig(config);
        if (!manager->saveProjectAs(path, error))
            return {};
        const QImage image = picture(s);
        // The startup window prefers the picture beside the project; the project keeps one too.
        image.save(QFileInfo(path).absolutePath() + QLatin1Char('/') + QFileInfo(path).completeBaseName() +
                       QStringLiteral(".kqthumb"),
                   "PNG");
        manager->currentProject()->setThumbnail(image, error);
        IVkProjectRecentManager::getInstance()->addProject(path, QString::fromLatin1(s.name), error);
    }
    manager->newProject();
    return paths;
}
