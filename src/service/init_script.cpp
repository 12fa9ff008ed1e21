#include "service/init_script.h"

namespace {

// The comment block between "### BEGIN INIT INFO" and "### END INIT INFO" is
// what update-rc.d reads to choose the run levels; without it current
// versions enable the script at no run level at all.
constexpr std::string_view kHeader =
    "#!/bin/bash\n"
    "### BEGIN INIT INFO\n"
    "# Provides:          kavrixserverd\n"
    "# Required-Start:    $remote_fs $network $syslog\n"
    "# Required-Stop:     $remote_fs $network $syslog\n"
    "# Default-Start:     2 3 4 5\n"
    "# Default-Stop:      0 1 6\n"
    "# Short-Description: KavrixServer service\n"
    "### END INIT INFO\n"
    ". /lib/lsb/init-functions\n"
    "\n";

constexpr std::string_view kCase =
    "case \"$1\" in\n"
    "\tstart)\n"
    "\t\tstart\n"
    "\t\t;;\n"
    "\tstop)\n"
    "\t\tstop\n"
    "\t\t;;\n"
    "\trestart)\n"
    "\t\tstop\n"
    "\t\tstart\n"
    "\t\t;;\n"
    // Debian requires it of every init script; this service has nothing to
    // reload without a restart.
    "\tforce-reload)\n"
    "\t\tstop\n"
    "\t\tstart\n"
    "\t\t;;\n"
    "\t*)\n"
    "\t\techo \"Invalid parameter: $1\"\n"
    "\t\techo \"\"\n"
    "\t\techo \"Usage: $0 [start|stop|restart]\"\n"
    "\t\texit 1\n"
    "\t\t;;\n"
    "esac\n";

}  // namespace

std::string LServiceInitScriptText(std::string_view serviceExecutable) {
  const std::string exe(serviceExecutable);
  std::string text(kHeader);
  text += "start() {\n";
  text += "\tif start-stop-daemon --start --quiet -c root --exec " + exe +
          " -- -service >/dev/null 2>&1; then\n";
  text += "\t\techo \"KavrixServer service: kavrixserverd started successfully\"\n";
  text += "\telif start-stop-daemon --start --test --quiet -c root --exec " + exe +
          " >/dev/null 2>&1; then\n";
  text += "\t\techo \"Starting KavrixServer service: kavrixserverd FAILED...\"\n";
  text += "\telse\n";
  text += "\t\techo \"KavrixServer service: kavrixserverd is already running...\"\n";
  text += "\tfi\n";
  text += "}\n\n";
  text += "stop() {\n";
  text += "\techo \"Stopping KavrixServer service kavrixserverd \"\n";
  text += "\tstart-stop-daemon --stop --retry=1 --quiet -c root --oknodo --exec " + exe + " \n";
  text += "}\n\n";
  text += kCase;
  return text;
}
