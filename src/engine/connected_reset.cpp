#include "engine/connected_reset.h"

#include "foundation/record_list.h"

int LResetConnectedFlags() {
  // The staff registry's user type is layered above the engine; the flag is
  // a plain settings value, so plain records do.
  using LUsersList = LRecordList<LSettingsRecord, LSettingsRecord>;
  LUsersList users = LUsersList::InSharedFolder("UsersList");
  int visited = 0;
  for (LRecordListIterator<LSettingsRecord, LSettingsRecord> it(users); it.Next(); ++visited) {
    it.Get().SetBool("Connected", false);
  }
  return visited;
}
