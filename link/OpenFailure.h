#pragma once

#include <QString>

// Why a port could not be opened, said in one line under "Error opening Comm:N": the device and
// the system's reason, and for a device the user may not use, what to do about it.

// True when the device exists but the system refuses this user reading and writing it (on
// Linux: not a member of the group that owns it, normally dialout).
bool devicePermissionDenied(const QString& device);

// The line for a port whose device is `device` (empty when the machine has none for that
// port) after the port reported `portError`. A portError that already begins with the device
// name is not named twice.
QString openFailureReason(int port, const QString& device, const QString& portError,
                          bool permissionDenied);
