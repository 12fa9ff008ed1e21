#pragma once
// The address probe in a progress dialog, and the manual choices offered
// when the router has no usable UPnP.

#include <gtk/gtk.h>

#include "routing/routing_probe.h"

class LStatusWindow;

inline constexpr char kLRoutingManualTitle[] = "Network Probe Setup Wizard";
inline constexpr char kLRoutingManualText[] =
    "Your network router does not support UPnP, so the wizard can't automatically configure your network.  What "
    "do you want to do?";
// The hint inside the empty public host field.
inline constexpr char kLRoutingHostPrompt[] = "Prefer hostname to IP";

// Runs the probe ("Network Probe Setup Wizard"); when it fails, asks for
// the manual choice. True when the probe succeeded.
bool LDesktopRunRoutingWizard(GtkWindow* parent, LStatusWindow* status,
                              LRoutingProbeOptions options = LRoutingDefaultProbeOptions());
// The manual choices dialog; true when a choice was applied.
bool LDesktopRoutingManualChoice(GtkWindow* parent);
