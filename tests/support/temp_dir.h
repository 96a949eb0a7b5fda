#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace petrel::test {

// A fresh folder on disk, removed with everything in it when the test ends.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Makes the working directory a given folder for the life of the object.
class ScopedWorkingDir {
  public:
    explicit ScopedWorkingDir(const std::filesystem::path& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

  private:
    std::filesystem::path previous_;
};

// A file system of a few kilobytes (tmpfs) mounted on a fresh folder, for writes that must
// meet a full disk. Mounting needs privileges a machine may not give a test: then Mounted() is
// false and the test skips.
class SmallDisk {
  public:
    explicit SmallDisk(std::size_t kilobytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool Mounted() const { return mounted_; }
    std::string File(const std::string& name) const { return dir_.File(name); }
    // Fills the space left with one file: the next write meets a full disk.
    void Fill() const;

  private:
    TempDir dir_;
    bool mounted_ = false;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace petrel::test
