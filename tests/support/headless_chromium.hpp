// Headless Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe): the
// browser reads NUL-terminated JSON commands on its fd 3 and writes replies and events on fd 4.
// Enough of the protocol to load a page, read what it rendered, take a screenshot and collect
// every error the page raised (console errors, uncaught exceptions, failed loads, policy
// violations).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace velmora::testing {

class HeadlessChromium {
 public:
  // Starts `executable` with a fresh profile in `profileDir`, and opens one tab.
  HeadlessChromium(const std::string& executable, const std::string& profileDir) {
    int toBrowser[2], fromBrowser[2];
    if (pipe2(toBrowser, O_CLOEXEC) != 0 || pipe2(fromBrowser, O_CLOEXEC) != 0) {
      throw std::runtime_error("pipe2 failed");
    }
    // Keep our ends clear of 3 and 4, where the child's ends go.
    toBrowser[0] = moveHigh(toBrowser[0]);
    fromBrowser[1] = moveHigh(fromBrowser[1]);
    write_ = moveHigh(toBrowser[1]);
    read_ = moveHigh(fromBrowser[0]);

    const std::vector<std::string> args = {
        executable, "--headless", "--no-sandbox", "--disable-gpu",
        // A locked-down machine: nothing but the page itself.
        "--disable-background-networking", "--disable-component-update", "--disable-sync",
        "--no-first-run", "--no-default-browser-check", "--disable-quic", "--disable-extensions",
        "--user-data-dir=" + profileDir, "--remote-debugging-pipe", "about:blank"};
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toBrowser[0], 3);
    posix_spawn_file_actions_adddup2(&actions, fromBrowser[1], 4);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so that every browser process can be stopped together.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int rc =
        posix_spawnp(&pid_, executable.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(toBrowser[0]);
    close(fromBrowser[1]);
    if (rc != 0) {
      pid_ = -1;
      throw std::runtime_error("cannot start " + executable);
    }

    const auto target = call("Target.createTarget", {{"url", "about:blank"}}, false);
    const auto attached =
        call("Target.attachToTarget", {{"targetId", target["targetId"]}, {"flatten", true}}, false);
    session_ = attached["sessionId"].get<std::string>();
    for (const char* domain : {"Runtime.enable", "Log.enable", "Page.enable"}) call(domain);
  }

  ~HeadlessChromium() {
    if (pid_ > 0) {
      try {
        send("Browser.close", nlohmann::json::object(), false);
      } catch (...) {
      }
      int status;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
          kill(-pid_, SIGKILL);
          waitpid(pid_, &status, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      kill(-pid_, SIGKILL);  // any helper process left behind
    }
    close(read_);
    close(write_);
  }
  HeadlessChromium(const HeadlessChromium&) = delete;
  HeadlessChromium& operator=(const HeadlessChromium&) = delete;

  // Loads `url` in a viewport `width` pixels wide and waits for its load event.
  void open(const std::string& url, int width) {
    call("Emulation.setDeviceMetricsOverride",
         {{"width", width}, {"height", 900}, {"deviceScaleFactor", 1}, {"mobile", false}});
    const long navigation = send("Page.navigate", {{"url", url}}, true);
    bool answered = false, loaded = false;  // in either order
    receive([&](const nlohmann::json& m) {
      answered = answered || m.value("id", -1L) == navigation;
      loaded = loaded || m.value("method", "") == "Page.loadEventFired";
      return answered && loaded;
    });
    width_ = width;
  }

  // The value of a JavaScript expression evaluated in the page (returned by value).
  nlohmann::json evaluate(const std::string& expression) {
    const auto reply =
        call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    if (reply.contains("exceptionDetails")) {
      throw std::runtime_error("evaluate failed: " + reply["exceptionDetails"].dump());
    }
    return reply["result"].value("value", nlohmann::json());
  }

  // A PNG of the whole page (at most `maxHeight` pixels tall).
  std::string screenshot(int maxHeight) {
    const auto metrics = call("Page.getLayoutMetrics");
    const int height = std::min(
        maxHeight, static_cast<int>(metrics["cssContentSize"]["height"].get<double>() + 0.5));
    call("Emulation.setDeviceMetricsOverride",
         {{"width", width_}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
    const auto shot = call("Page.captureScreenshot", {{"format", "png"}});
    return decodeBase64(shot["data"].get<std::string>());
  }

  // Every error the pages raised so far, one line each.
  const std::vector<std::string>& errors() const { return errors_; }

 private:
  static int moveHigh(int fd) {
    const int high = fcntl(fd, F_DUPFD_CLOEXEC, 10);
    close(fd);
    return high;
  }

  long send(const std::string& method, const nlohmann::json& params, bool inSession) {
    nlohmann::json message = {{"id", ++lastId_}, {"method", method}, {"params", params}};
    if (inSession) message["sessionId"] = session_;
    std::string text = message.dump();
    text.push_back('\0');
    for (std::size_t done = 0; done < text.size();) {
      const ssize_t n = write(write_, text.data() + done, text.size() - done);
      if (n <= 0) throw std::runtime_error("the browser stopped reading");
      done += static_cast<std::size_t>(n);
    }
    return lastId_;
  }

  nlohmann::json call(const std::string& method,
                      const nlohmann::json& params = nlohmann::json::object(),
                      bool inSession = true) {
    const long id = send(method, params, inSession);
    const auto reply = receive([&](const nlohmann::json& m) { return m.value("id", -1L) == id; });
    if (reply.contains("error")) {
      throw std::runtime_error(method + " failed: " + reply["error"].dump());
    }
    return reply["result"];
  }

  // Reads messages until `wanted` accepts one (within 30 seconds), noting every error event.
  nlohmann::json receive(const std::function<bool(const nlohmann::json&)>& wanted) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (true) {
      const std::size_t end = buffer_.find('\0');
      if (end != std::string::npos) {
        const auto message = nlohmann::json::parse(buffer_.substr(0, end));
        buffer_.erase(0, end + 1);
        noteError(message);
        if (wanted(message)) return message;
        continue;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{read_, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        throw std::runtime_error("no answer from the browser within 30 s");
      }
      char chunk[65536];
      const ssize_t n = read(read_, chunk, sizeof chunk);
      if (n <= 0) throw std::runtime_error("the browser closed its pipe");
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }

  void noteError(const nlohmann::json& message) {
    const std::string method = message.value("method", "");
    const auto& params = message.contains("params") ? message["params"] : nlohmann::json();
    if (method == "Runtime.exceptionThrown") {
      errors_.push_back("exception: " + params["exceptionDetails"].dump());
    } else if (method == "Runtime.consoleAPICalled" &&
               (params.value("type", "") == "error" || params.value("type", "") == "assert")) {
      errors_.push_back("console." + params.value("type", "") + ": " + params["args"].dump());
    } else if (method == "Log.entryAdded" && params["entry"].value("level", "") == "error") {
      errors_.push_back("log: " + params["entry"].value("text", "") + " " +
                        params["entry"].value("url", ""));
    }
  }

  static std::string decodeBase64(const std::string& text) {
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
      int digit;
      if (c >= 'A' && c <= 'Z')
        digit = c - 'A';
      else if (c >= 'a' && c <= 'z')
        digit = c - 'a' + 26;
      else if (c >= '0' && c <= '9')
        digit = c - '0' + 52;
      else if (c == '+')
        digit = 62;
      else if (c == '/')
        digit = 63;
      else
        continue;  // padding
      value = (value << 6) | static_cast<unsigned>(digit);
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        out.push_back(static_cast<char>((value >> bits) & 0xFF));
      }
    }
    return out;
  }

  pid_t pid_ = -1;
  int read_ = -1;
  int write_ = -1;
  long lastId_ = 0;
  std::string session_;
  std::string buffer_;
  int width_ = 1200;
  std::vector<std::string> errors_;
};

}  // namespace velmora::testing
