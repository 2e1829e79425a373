#include <vkcore/VkConvertUtility.h>
#include <vkcore/VkUtility.h>

#include <limits>

#include "VkTestMain.h"

class tst_VkFormat : public QObject
{
    Q_OBJECT

private slots:
    void frame2String_data();
    void frame2String();
    void fileSize_data();
    void fileSize();
};

void tst_VkFormat::frame2String_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<float>("fps");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0 << 25.0f << "00:00:00:00";
    QTest::newRow("last frame of the first second at 25") << 24 << 25.0f << "00:00:00:24";
    QTest::newRow("first frame of the next second at 25") << 25 << 25.0f << "00:00:01:00";
    // 23.976 counts 24 frames to the timecode second.
    QTest::newRow("23.976 frame 23") << 23 << 23.976f << "00:00:00:23";
    QTest::newRow("23.976 frame 24") << 24 << 23.976f << "00:00:01:00";
    // 29.97 counts 30: 1799 = 59 s * 30 + 29.
    QTest::newRow("29.97 last frame of a minute") << 1799 << 29.97f << "00:00:59:29";
    QTest::newRow("29.97 one minute") << 1800 << 29.97f << "00:01:00:00";
    // 59.94 counts 60: 60 * 3600 = 216000 frames to the hour.
    QTest::newRow("59.94 one hour") << 216000 << 59.94f << "01:00:00:00";
    QTest::newRow("59.94 one frame short of an hour") << 215999 << 59.94f << "00:59:59:59";
    // 25 * 3600 = 90000.
    QTest::newRow("25 one hour") << 90000 << 25.0f << "01:00:00:00";
    QTest::newRow("25 mixed") << 90000 + 25 * 61 + 3 << 25.0f << "01:01:01:03";
    // 100 hours do not wrap: 25 * 3600 * 100 = 9000000.
    QTest::newRow("hours past two digits") << 9000000 << 25.0f << "100:00:00:00";
    // 2147483647 = 25 * 85899345 + 22; 85899345 s = 23860 h 55 min 45 s.
    QTest::newRow("largest frame") << std::numeric_limits<int>::max() << 25.0f << "23860:55:45:22";
    // 0.5 rounds to one frame per second: 61 frames are 1 min 1 s.
    QTest::newRow("half a frame per second") << 61 << 0.5f << "00:01:01:00";

    QTest::newRow("negative frame") << -1 << 25.0f << "00:00:00:00";
    QTest::newRow("zero rate") << 100 << 0.0f << "00:00:00:00";
    QTest::newRow("negative rate") << 100 << -25.0f << "00:00:00:00";
    QTest::newRow("rate rounding to zero") << 100 << 0.4f << "00:00:00:00";
    QTest::newRow("nan rate") << 100 << std::numeric_limits<float>::quiet_NaN() << "00:00:00:00";
    QTest::newRow("infinite rate") << 100 << std::numeric_limits<float>::infinity() << "00:00:00:00";
}

void tst_VkFormat::frame2String()
{
    QFETCH(int, frame);
    QFETCH(float, fps);
    QFETCH(QString, text);
    QCOMPARE(VkConvertUtility::frame2String(frame, fps), text);
}

void tst_VkFormat::fileSize_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << qint64(0) << "0 B";
    QTest::newRow("negative") << qint64(-1) << "0 B";
    QTest::newRow("bytes") << qint64(512) << "512 B";
    QTest::newRow("last byte count") << qint64(1023) << "1023 B";
    QTest::newRow("one kilobyte") << qint64(1024) << "1 KB";
    QTest::newRow("one and a half") << qint64(1536) << "1.5 KB";
    // 1029 / 1024 = 1.0049 -> 1.00 -> "1"; 1030 / 1024 = 1.0059 -> 1.01.
    QTest::newRow("rounds down to whole") << qint64(1029) << "1 KB";
    QTest::newRow("rounds up at two decimals") << qint64(1030) << "1.01 KB";
    // 10239 / 1024 = 9.999 -> 10.00: ten and above keep one decimal, here none left after trimming.
    QTest::newRow("rounds into two digits") << qint64(10239) << "10 KB";
    QTest::newRow("one decimal") << qint64(12897485) << "12.3 MB"; // 12.3 * 1024^2 = 12897484.8
    QTest::newRow("three digits no decimal") << qint64(512) * 1024 << "512 KB";
    QTest::newRow("largest whole kilobytes") << qint64(1023) * 1024 << "1023 KB";
    // 1048575 / 1024 = 1023.999 rounds to 1024, which moves to the next unit.
    QTest::newRow("rounds into the next unit") << qint64(1048575) << "1 MB";
    QTest::newRow("two decimals") << qint64(1342177280) << "1.25 GB"; // 1.25 * 1024^3
    QTest::newRow("terabyte") << qint64(1099511627776) << "1 TB";
    // 2^63 - 1 is one byte short of 8 EB and rounds to it.
    QTest::newRow("largest size") << std::numeric_limits<qint64>::max() << "8 EB";
}

void tst_VkFormat::fileSize()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(VkUtility::gGetFileSizeAuto(bytes), text);
}

VK_TEST_MAIN(tst_VkFormat)
#include "tst_format.moc"
