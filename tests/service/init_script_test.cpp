#include "service/init_script.h"

#include <gtest/gtest.h>

// The whole script, byte for byte, for two install paths: every
// start-stop-daemon call names the program it was given.
TEST(InitScript, TextOfTheInstalledServiceIsExact) {
  for (const std::string program : {"/usr/sbin/kavrixserverd", "/tmp/x/kavrixserverd"}) {
    const std::string expected =
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
        "\n"
        "start() {\n"
        "\tif start-stop-daemon --start --quiet -c root --exec " + program + " -- -service "
        ">/dev/null 2>&1; then\n"
        "\t\techo \"KavrixServer service: kavrixserverd started successfully\"\n"
        "\telif start-stop-daemon --start --test --quiet -c root --exec " + program +
        " >/dev/null 2>&1; then\n"
        "\t\techo \"Starting KavrixServer service: kavrixserverd FAILED...\"\n"
        "\telse\n"
        "\t\techo \"KavrixServer service: kavrixserverd is already running...\"\n"
        "\tfi\n"
        "}\n"
        "\n"
        "stop() {\n"
        "\techo \"Stopping KavrixServer service kavrixserverd \"\n"
        "\tstart-stop-daemon --stop --retry=1 --quiet -c root --oknodo --exec " + program + " \n"
        "}\n"
        "\n"
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
    EXPECT_EQ(LServiceInitScriptText(program), expected);
  }
}
