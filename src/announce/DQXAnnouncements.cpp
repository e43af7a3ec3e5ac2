#include "announce/DQXAnnouncements.h"

#include "announce/DQXAnnouncer.h"

DQXAnnouncementInput DQXInputForImage(const QImage& image) {
    DQXAnnouncementInput input;
    if (!image.isNull())
        input.image = image;
    return input;
}

DQXAnnouncementInput DQXInputForBadge(const std::optional<QString>& badge) {
    DQXAnnouncementInput input;
    input.badge = badge;
    return input;
}

DQXAnnouncementInput DQXInputForBadgeCount(long count) {
    return count == 0 ? DQXAnnouncementInput() : DQXInputForBadge(QString::number(count));
}

void DQXAnnounceIcon(const DQXAnnouncementInput& input) {
    if (DQXAnnouncer* announcer = DQXAnnouncer::defaultAnnouncer())
        announcer->announce(input);
}

void DQXAnnounceImage(const QImage& image) {
    DQXAnnounceIcon(DQXInputForImage(image));
}

void DQXAnnounceBadge(const std::optional<QString>& badge) {
    DQXAnnounceIcon(DQXInputForBadge(badge));
}

void DQXAnnounceBadgeCount(long count) {
    DQXAnnounceIcon(DQXInputForBadgeCount(count));
}

void DQXSetListeningBlock(DQXListener::ListeningBlock block) {
    if (DQXListener* listener = DQXListener::defaultListener())
        listener->setListeningBlock(std::move(block));
}
