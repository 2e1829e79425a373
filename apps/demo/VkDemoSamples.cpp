#include "VkDemoSamples.h"

#include <vkcore/IVkAppInfo.h>
#include <vkvblmodel/IVkProject.h>
#include <vkvblmodel/IVkProjectManager.h>
#include <vkvblmodel/IVkProjectRecentManager.h>
#include <vkvblmodel/VkProjectConfig.h>
#include <vkvblmodel/VkProjectSuffixHelper.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <cmath>
#include <functional>

namespace {

constexpr QSize kPictureSize{320, 180};

struct Sample
{
    const char* name;
    int ratio;
    QSize size;
    std::function<void(QPainter&, const QRectF&)> draw;
};

void sky(QPainter& p, const QRectF& r, QColor top, QColor bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void hills(QPainter& p, const QRectF& r, QColor color, qreal base, qreal amplitude, qreal phase)
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

} // namespace

QStringList VkDemoSamples::ensureProjects(QString* error)
{
    const QDir folder(IVkAppInfo::getInstance()->getFolderPath(IVkAppInfo::FolderProjects));
    IVkProjectManager* manager = IVkProjectManager::getInstance();
    QStringList paths;
    for (const Sample& s : samples()) {
        const QString path = folder.filePath(QString::fromLatin1(s.name).toLower().replace(' ', '-') +
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
