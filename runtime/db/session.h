// Database sessions: each records the last error number and message of the database layer.
#pragma once
#include <string>

#include "core/object.h"

namespace xb::db {

class Session : public Object {
  XB_CLASS()
 public:
  int lastError = 0;
  std::string lastMessage;
  void clear() {
    if (lastError) {
      lastError = 0;
      lastMessage.clear();
    }
  }
};

// The default session, which is also the current one.
Session& defaultSession();

}  // namespace xb::db
