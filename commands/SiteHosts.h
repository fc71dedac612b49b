#pragma once

#include <QString>

// The hosts of the outside sites that spoken commands search, read from the [sites] section of
// "services.ini"; a missing key keeps the built-in default.
class SiteHosts {
public:
    QString searchEngine = QStringLiteral("www.baidu.com");          // web search and weather
    QString videoSite = QStringLiteral("www.baidu.com");             // a film title from Movie.txt
    QString videoSearchSite = QStringLiteral("so.youku.com");        // any other film
    QString shop = QStringLiteral("search.jd.com");                  // goods from Buy.txt
    QString secondShop = QStringLiteral("list.tmall.com");           // any other goods
    QString music = QStringLiteral("music.163.com");                 // songs and singers from Music.txt
    QString secondMusic = QStringLiteral("y.qq.com");                // any other music
    QString secondMusicPlace = QStringLiteral("txt.yqq.top");        // place tag of the second service
    QString airQuality = QStringLiteral("www.tianqihoubao.com/aqi"); // city pages "<name>.html"
    QString localServices = QStringLiteral("bj.meituan.com");        // food near the user (Beijing)

    // The defaults above, overridden by the keys of the [sites] section.
    static SiteHosts fromConfig();
};
