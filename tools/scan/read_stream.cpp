#include "scan/read_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace scan {

ReadOnlyFileStream::ReadOnlyFileStream(std::string path) : path_(std::move(path)) {
  fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info;
  if (fd_ >= 0 && fstat(fd_, &info) == 0) {
    size_ = static_cast<long>(info.st_size);
    return;
  }
  error_ = errno;
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

ReadOnlyFileStream::~ReadOnlyFileStream() {
  if (fd_ >= 0) close(fd_);
}

long ReadOnlyFileStream::ReadAt(long offset, long length, char* out) {
  long done = 0;
  while (done < length) {
    const ssize_t n = pread(fd_, out + done, static_cast<size_t>(length - done), offset + done);
    if (n > 0) {
      done += n;
    } else if (n == 0 || errno != EINTR) {
      break;  // a file shrunk under us, or an I/O error: TagLib sees a short read
    }
  }
  return done;
}

const ReadOnlyFileStream::Block* ReadOnlyFileStream::BlockAt(long index) {
  for (size_t i = 0; i < blocks_.size(); ++i) {
    if (blocks_[i].index == index) {
      last_used_ = i;
      return &blocks_[i];
    }
  }
  last_used_ = 1 - last_used_;  // replaces the block used longer ago
  Block& block = blocks_[last_used_];
  if (!block.bytes) block.bytes = std::make_unique<char[]>(kBlockSize);
  const long offset = index * kBlockSize;
  block.size = ReadAt(offset, std::min(kBlockSize, size_ - offset), block.bytes.get());
  block.index = block.size > 0 ? index : -1;
  return block.size > 0 ? &block : nullptr;
}

TagLib::ByteVector ReadOnlyFileStream::readBlock(unsigned long length) {
  if (fd_ < 0 || position_ >= size_ || length == 0) return {};
  if (length < kSmallRead && small_reads_left_-- <= 0) {
    exhausted_ = true;
    return {};
  }
  const long wanted = static_cast<long>(std::min<unsigned long>(length, size_ - position_));
  TagLib::ByteVector bytes(static_cast<unsigned int>(wanted), '\0');
  long done = 0;
  if (wanted > kBlockSize) {
    done = ReadAt(position_, wanted, bytes.data());
  } else {
    while (done < wanted) {
      const long at = position_ + done;
      const Block* block = BlockAt(at / kBlockSize);
      const long from = at % kBlockSize;
      if (block == nullptr || from >= block->size) break;
      const long n = std::min(wanted - done, block->size - from);
      std::memcpy(bytes.data() + done, block->bytes.get() + from, static_cast<size_t>(n));
      done += n;
    }
  }
  if (done < wanted) bytes.resize(static_cast<unsigned int>(done));
  position_ += done;
  return bytes;
}

void ReadOnlyFileStream::seek(long offset, Position p) {
  const long base = p == Beginning ? 0 : p == Current ? position_ : size_;
  if (base + offset >= 0) position_ = base + offset;
}

}  // namespace scan
