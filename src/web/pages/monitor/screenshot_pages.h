#pragma once
// "viewscreens" and "viewscreenspost": one user's screenshots of a day as
// thumbnails; "fullsizeimg": the full-size viewer with the previous and
// next picture; "getimg.jpg" and "fullsizeimg.jpg": the pictures themselves.

#include <string>

#include "foundation/date_time.h"
#include "web/panel/kx_web_page.h"

void WLViewScreen(LWebletForm& form);
void WLFullSizeImage(LWebletForm& form);
// Serves the picture (`full`) or the thumbnail named by "seluser", "date"
// and "time"; a plain 404 for anything it may not or cannot serve.
void WLGetImage(LWebletForm& form, bool full);
void WLGetImageThumbNail(LWebletForm& form);
void WLGetFullSizeImage(LWebletForm& form);

class LKXViewScreenPage : public LKXWebPage {
 public:
  explicit LKXViewScreenPage(LWebletForm& form);
  void Generate() override;
};

// Pictures this high or higher are shown this wide, in proportion.
inline constexpr int kKXFullSizeShownWidth = 900;
