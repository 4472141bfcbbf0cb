// The four modal dialogs of Nuvora; each gets what it shows as arguments.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "update/offer.h"
#include "update/transfer_job.h"

namespace nuvora {

void RunAboutBox();

// Shows the transfers of the update description, which it starts one after
// another while each succeeds, until a worker failed, the last has its result,
// or the user stopped them.
void RunConnectingDialog(const std::vector<std::shared_ptr<TransferJob>>& jobs);

// What the user chose in the information dialog: a list selection (negative:
// none) and the file to save the installer to.
struct Choice {
  int selection = -1;
  std::string target;
};

// Shows the offer until the user picks a file to save to; nullopt when cancelled.
std::optional<Choice> RunInformationDialog(const Offer& offer);

// Shows the installer transfer, which it starts, under "Downloading 'appName'...",
// until the worker has its result or the user stopped it.
void RunDownloadDialog(const std::shared_ptr<TransferJob>& job, const std::string& appName,
                       std::uint32_t totalKb);

}  // namespace nuvora
