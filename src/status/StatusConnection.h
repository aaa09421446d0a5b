#pragma once

#include <memory>

namespace Orvex {

struct AppContext;
class DriveGate;
class IOrvexStatus;

// What every status update starts with: a status object of the drive bridge
// on the selected port, and a drive that answers its connection test. Null,
// with the user told why, when either fails. The status pages do not stop
// each other's automatic updates here; every other drive action does.
std::unique_ptr<IOrvexStatus> ConnectStatus(AppContext& context, DriveGate& gate);

} // namespace Orvex
