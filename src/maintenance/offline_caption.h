#pragma once
// Team mates see, in place of an absent user's window caption, when he is
// expected back. The maintenance pass keeps that phrase current in the
// user's "LastCaption" while he is not connected.

class LKXUser;

// When "Connected" is not set: the offline phrase for a viewer in the zone
// `viewer_zone` (minutes east of UTC); when it differs from "LastCaption"
// (letter case ignored) it is stored there and "StateChanged" set to now,
// so that connected team mates are sent the change. True when it changed.
bool KXUpdateOfflineCaption(LKXUser& user, int viewer_zone);
