#include "maintenance/maintenance_thread.h"

#include <gtest/gtest.h>

#include "support/temp_root.h"

class MaintenanceThreadTest : public KavrixTempRoot {};

TEST_F(MaintenanceThreadTest, PublishedWhileRunningAndStoppedPromptly) {
  LKXMaintenanceThread thread;
  thread.StartMaintenance(-10);
  EXPECT_EQ(LKXMaintenanceThread::Running(), &thread);
  EXPECT_TRUE(thread.IsRunning());
  // Wake-ups are taken and the thread sleeps on.
  for (int i = 0; i < 5; ++i) thread.Wake();
  EXPECT_TRUE(thread.IsRunning());
  thread.StopMaintenance();
  EXPECT_EQ(LKXMaintenanceThread::Running(), nullptr);
  EXPECT_FALSE(thread.IsRunning());
}

TEST_F(MaintenanceThreadTest, StoppingAnotherThreadLeavesThePublishedOne) {
  LKXMaintenanceThread running;
  LKXMaintenanceThread other;
  running.StartMaintenance(0);
  other.StopMaintenance();
  EXPECT_EQ(LKXMaintenanceThread::Running(), &running);
}
