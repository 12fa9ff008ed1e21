#include "service/systemd_unit.h"

#include <gtest/gtest.h>

#include "service/systemd_service.h"

// The whole unit, byte for byte: the program and the data folder it is
// given are the only variable parts.
TEST(SystemdUnit, TextOfTheInstalledServiceIsExact) {
  for (const auto& [program, root] : {std::pair<std::string, std::string>{"/usr/sbin/kavrixserverd", "/opt/mardel"},
                                      {"/tmp/x/kavrixserverd", "/srv/kavrix-data"}}) {
    EXPECT_EQ(LServiceUnitText(program, root),
              "[Unit]\n"
              "Description=KavrixServer staff time-tracking and monitoring service\n"
              "After=network-online.target\n"
              "Wants=network-online.target\n"
              "\n"
              "[Service]\n"
              "Type=simple\n"
              "Environment=KAVRIX_ROOT=" + root + "\n"
              "ExecStart=" + program + " -foreground\n"
              "Restart=on-failure\n"
              "UMask=0007\n"
              "ProtectSystem=strict\n"
              "ReadWritePaths=" + root + "\n"
              "ProtectHome=yes\n"
              "PrivateTmp=yes\n"
              "NoNewPrivileges=yes\n"
              "\n"
              "[Install]\n"
              "WantedBy=multi-user.target\n");
  }
}

TEST(SystemdUnit, OnlyPlainAbsolutePathsGoIntoTheUnit) {
  for (const char* plain : {"/opt/mardel", "/srv/kavrix-data_2/v1.0+x"}) {
    EXPECT_TRUE(LServiceUnitPathIsPlain(plain)) << plain;
  }
  for (const char* odd : {"", "opt/mardel", "/opt/my data", "/opt/%h", "/opt/a\"b", "/opt/a\\x", "/opt/a;b", "/opt/\xc3\xa9"}) {
    EXPECT_FALSE(LServiceUnitPathIsPlain(odd)) << odd;
  }
}
