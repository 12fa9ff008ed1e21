// kavrix-service-files FOLDER: writes "kavrixserverd.service" and the init
// script "kavrixserverd" for the installed paths, the same texts that
// "kavrixserver -install" writes, so that the package and the installer
// never differ.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "foundation/paths.h"
#include "service/init_script.h"
#include "service/service_paths.h"
#include "service/systemd_unit.h"

namespace {

bool Write(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  return file.good();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "Usage: kavrix-service-files FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const LServicePaths paths;
  // The package installs for the fixed root, whatever KAVRIX_ROOT says here.
  unsetenv("KAVRIX_ROOT");
  const bool ok = Write(folder + "/" + kLServiceUnitName,
                        LServiceUnitText(paths.serviceExecutable, LFile::GetInstallRoot())) &&
                  Write(folder + "/" + kLServiceName, LServiceInitScriptText(paths.serviceExecutable));
  if (!ok) fprintf(stderr, "kavrix-service-files: cannot write into %s\n", folder.c_str());
  return ok ? 0 : 1;
}
