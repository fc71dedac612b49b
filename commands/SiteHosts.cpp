#include "commands/SiteHosts.h"

#include "app/ServicesConfig.h"

SiteHosts SiteHosts::fromConfig() {
    const ServicesConfig& config = ServicesConfig::instance();
    SiteHosts hosts;
    const auto read = [&config](const char* key, QString& host) {
        const QString value = config.text(QStringLiteral("sites/") + QLatin1String(key), host).trimmed();
        if (!value.isEmpty())
            host = value;
    };
    read("search_engine", hosts.searchEngine);
    read("video_site", hosts.videoSite);
    read("video_search_site", hosts.videoSearchSite);
    read("shop", hosts.shop);
    read("second_shop", hosts.secondShop);
    read("music", hosts.music);
    read("second_music", hosts.secondMusic);
    read("second_music_place", hosts.secondMusicPlace);
    read("air_quality", hosts.airQuality);
    read("local_services", hosts.localServices);
    return hosts;
}
