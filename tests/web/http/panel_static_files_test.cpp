// The static files compiled into the program: every help page the pages name
// is there, every picture decodes to its size, and the help pages link only
// to help pages that exist. (That the webroot files the pages ask for are
// served is a step of the browser test.)

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <string_view>

#include "web/http/embedded_files.h"

namespace {

std::map<std::string, std::string_view> FilesOf(std::string_view folder) {
  std::map<std::string, std::string_view> files;
  for (const LEmbeddedFile& file : LEmbeddedStaticFiles()) {
    if (file.folder == folder) {
      files[file.name] = std::string_view(reinterpret_cast<const char*>(file.data), file.size);
    }
  }
  return files;
}

struct PictureSize {
  int width = 0;
  int height = 0;
  bool decoded = false;
};

// Decodes with the same image library the server uses for screenshots.
PictureSize Decode(std::string_view bytes) {
  PictureSize size;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  const bool written = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()),
                                               bytes.size(), nullptr) != FALSE;
  const bool closed = gdk_pixbuf_loader_close(loader, nullptr) != FALSE;
  GdkPixbuf* picture = gdk_pixbuf_loader_get_pixbuf(loader);
  if (written && closed && picture != nullptr) {
    size = {gdk_pixbuf_get_width(picture), gdk_pixbuf_get_height(picture), true};
  }
  g_object_unref(loader);
  return size;
}

}  // namespace

TEST(PanelStaticFiles, EveryHelpPageThePagesNameIsCompiledIn) {
  const auto help = FilesOf("help");
  for (const char* name :
       {"index", "login", "password", "changeemail", "timeperiod", "timesheet", "workhours", "manualactivity",
        "enterhours", "unexplainedabsence", "searchlist", "leaveform", "pendingleaverequests", "leavereport",
        "userlist", "userdetails", "addmanager", "addtoteam", "deleteuser", "activity", "screenshot", "appusage",
        "docanalyse", "auditlog", "myaudit", "config", "routing", "team", "leavetype", "holiday"}) {
    EXPECT_TRUE(help.count(std::string(name) + ".html")) << name;
  }
}

// Icons are drawn 16 by 16 because the pages write height=16 width=16; the
// corners are 8 by 8; a GIF must really be a GIF and a JPEG a JPEG, since the
// content type follows the extension.
TEST(PanelStaticFiles, EveryPictureDecodesToItsSize) {
  int pictures = 0;
  for (const auto& [name, bytes] : FilesOf("webroot")) {
    const bool gif = name.ends_with(".gif");
    const bool jpeg = name.ends_with(".jpg");
    if (!gif && !jpeg) continue;
    ++pictures;
    const std::string_view magic = gif ? std::string_view("GIF89a") : std::string_view("\xFF\xD8\xFF", 3);
    EXPECT_EQ(bytes.substr(0, magic.size()), magic) << name;
    EXPECT_LT(bytes.size(), gif ? 2048u : 65536u) << name;
    const PictureSize size = Decode(bytes);
    ASSERT_TRUE(size.decoded) << name;
    if (name == "main.jpg") {
      EXPECT_TRUE(size.width >= 400 && size.height <= size.width / 3) << name;
    } else {
      const int side = name.find("corner-") != std::string::npos ? 8 : 16;
      EXPECT_EQ(std::make_pair(size.width, size.height), std::make_pair(side, side)) << name;
    }
  }
  EXPECT_EQ(pictures, 16);
}

// Help pages open in a window of their own; a dead link there is a dead end.
TEST(PanelStaticFiles, HelpPagesLinkOnlyToHelpPages) {
  const auto help = FilesOf("help");
  const std::regex link("href=\"([^\"]*)\"");
  std::set<std::string> linkedFromContents;
  for (const auto& [name, bytes] : help) {
    if (!name.ends_with(".html")) continue;
    const std::string text(bytes);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      EXPECT_TRUE(help.count(target)) << name << " links to " << target;
      if (name == "index.html") linkedFromContents.insert(target);
    }
  }
  // Every page is reachable from the contents.
  for (const auto& [name, bytes] : help) {
    if (name.ends_with(".html") && name != "index.html") {
      EXPECT_TRUE(linkedFromContents.count(name)) << name;
    }
  }
}
