#pragma once

#include "announce/DQXListener.h"
#include "announce/DQXTransport.h"

#include <QImage>
#include <QString>

#include <optional>

// The library's entry points, through the program's announcer and listener (they do nothing while there
// is none).

// The image, or with a null image the normal icon.
void DQXAnnounceImage(const QImage& image);
// The badge, or without one the normal icon.
void DQXAnnounceBadge(const std::optional<QString>& badge);
// 0 announces the normal icon, any other count a badge with the number.
void DQXAnnounceBadgeCount(long count);
void DQXAnnounceIcon(const DQXAnnouncementInput& input);
void DQXSetListeningBlock(DQXListener::ListeningBlock block);

// What DQXAnnounceBadgeCount and the others announce.
DQXAnnouncementInput DQXInputForImage(const QImage& image);
DQXAnnouncementInput DQXInputForBadge(const std::optional<QString>& badge);
DQXAnnouncementInput DQXInputForBadgeCount(long count);
