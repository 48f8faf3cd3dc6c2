// Owns a POSIX file descriptor, so that no early return can leak one.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace kavelin::io {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  bool Valid() const { return fd_ >= 0; }
  int Get() const { return fd_; }
  // Closes now, for a caller that must know whether the close failed (it can report a
  // write error that the disk noticed late). Returns 0 or the errno.
  int Close() {
    const int fd = std::exchange(fd_, -1);
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
  }

 private:
  int fd_;
};

}  // namespace kavelin::io
