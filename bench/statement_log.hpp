// The distinct statements of a check run, seen where they reach SQLite.
//
// While a StatementLog lives, every SQLite connection the process opens records each statement
// it runs (through SQLite's statement trace, installed by an automatic extension) under the
// connection's file name. Run with the statement cache off, a check sends every statement it
// issues, so the distinct (file, text) pairs recorded are the distinct statements of the run:
// what the cache may at most send. Connections opened before the log (a pooled inspection
// session, for example) are not seen: measure on a home whose files no earlier run opened.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace velmora::bench {

class StatementLog {
 public:
  StatementLog();
  ~StatementLog();
  StatementLog(const StatementLog&) = delete;
  StatementLog& operator=(const StatementLog&) = delete;

  std::size_t statements() const { return sent_.size(); }
  std::size_t distinct() const { return counts_.size(); }

  // Every statement in the order it ran: (file name, text).
  using Statement = std::pair<std::string, std::string>;
  const std::vector<Statement>& sent() const { return sent_; }

  // The statements sent most often: the first `width` characters of the text (what tells the
  // lookups apart), how often such statements were sent, and how many distinct texts they were.
  struct Repeat {
    std::string start;
    std::size_t sent = 0;
    std::size_t distinct = 0;
  };
  std::vector<Repeat> mostSent(std::size_t count, std::size_t width) const;

 private:
  static void record(const char* file, const char* sql);

  std::vector<Statement> sent_;
  std::map<std::pair<std::string, std::string>, std::size_t> counts_;  // (file, text) -> sent
};

}  // namespace velmora::bench
