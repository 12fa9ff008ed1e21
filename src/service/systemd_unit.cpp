#include "service/systemd_unit.h"

std::string LServiceUnitText(std::string_view serviceExecutable, std::string_view dataRoot) {
  const std::string exe(serviceExecutable);
  const std::string root(dataRoot);
  std::string text =
      "[Unit]\n"
      "Description=KavrixServer staff time-tracking and monitoring service\n"
      "After=network-online.target\n"
      "Wants=network-online.target\n"
      "\n"
      "[Service]\n"
      "Type=simple\n";
  // Named even when it is the default, so that the unit says where the data
  // is and the service never falls back to another folder.
  text += "Environment=KAVRIX_ROOT=" + root + "\n";
  text += "ExecStart=" + exe + " -foreground\n";
  text +=
      "Restart=on-failure\n"
      // As the daemon: what the service makes without a mode of its own is
      // still closed to other accounts.
      "UMask=0007\n"
      "ProtectSystem=strict\n";
  text += "ReadWritePaths=" + root + "\n";
  text +=
      "ProtectHome=yes\n"
      "PrivateTmp=yes\n"
      "NoNewPrivileges=yes\n"
      "\n"
      "[Install]\n"
      "WantedBy=multi-user.target\n";
  return text;
}
