#pragma once
// Puts the panel's real page head, footer and message page in place of the
// plain stand-ins of page_frame.h, for the access checks of this folder (the
// session-expired page and the administrator notice). The service calls it
// once before the web server starts; tests of whole pages call it too.

void WLInstallPageFrame();
