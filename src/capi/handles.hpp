// What the C interface's opaque handles hold.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "velmora/client.hpp"
#include "velmora/report.hpp"
#include "velmora/session.hpp"
#include "velmora/velmora.h"

struct velmora_session {
  explicit velmora_session(const std::string& home, const std::string& uri)
      : config(velmora::loadClientConfig(home)),
        mesUri(uri.empty() ? config.mesConnection : uri),
        session(config, mesUri) {}

  velmora::ClientConfig config;  // what the session reads: no trace may be written over it
  std::string mesUri;
  velmora::Session session;
  std::string lastError;  // what velmora_last_error returns for this session
};

// The texts are made once, when the check has run, so that every text returned stays valid as
// long as the handle.
struct velmora_result {
  explicit velmora_result(velmora::Report made) : report(std::move(made)) {
    json = velmora::toJson(report);
    for (const velmora::Abnormal& record : report.records) {
      fields.push_back(velmora::recordFieldValues(record));
    }
    if (report.error) errorNumber = std::to_string(report.error->number);
  }

  velmora::Report report;
  std::string json;
  std::vector<std::array<std::string, 9>> fields;  // each record's, as kRecordFieldNames
  std::string errorNumber;                         // the failure's number as text
};
