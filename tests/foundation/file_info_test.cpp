#include "foundation/FileInfo.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

// Path names split at slashes and dots.
TEST(FileInfoNames, SplitsDirectoryBaseAndSuffix) {
  EXPECT_EQ(FileInfo::fileName("a/b.c.d"), "b.c.d");
  EXPECT_EQ(FileInfo::baseName("a/b.c.d"), "b.c");
  EXPECT_EQ(FileInfo::suffixName("a/b.c.d"), "d");
  EXPECT_EQ(FileInfo::dirName("a/b.c.d"), "a/");
  EXPECT_EQ(FileInfo::dirName("b.c"), "");
  EXPECT_EQ(FileInfo::fileName("noslash"), "noslash");
  EXPECT_EQ(FileInfo::suffixName("noslash"), "");
  EXPECT_EQ(FileInfo::baseName("noslash"), "noslash");
  EXPECT_EQ(FileInfo::fileName("dir/"), "");
  EXPECT_EQ(FileInfo::suffixName("dir.x/file"), "");
  EXPECT_EQ(FileInfo::baseName("/x/mesh.tm"), "mesh");
}

TEST(FileInfoNames, MembersWorkOnTheHeldPath) {
  const FileInfo info("/data/cells.vm");
  EXPECT_EQ(info.fileName(), "cells.vm");
  EXPECT_EQ(info.dirName(), "/data/");
  EXPECT_TRUE(info.isAbsolutePath());
  EXPECT_FALSE(info.isRelativePath());
  EXPECT_TRUE(FileInfo::isRelativePath("data/cells.vm"));
}

TEST(FileInfoNames, ExistenceMeansReadable) {
  TemporaryDirectory directory;
  const std::string path = directory.file("here.txt");
  EXPECT_FALSE(FileInfo::fileExists(path));
  writeFile(path, "x");
  EXPECT_TRUE(FileInfo::fileExists(path));
  EXPECT_TRUE(FileInfo(path).fileExists());
}

TEST(FileInfoPaths, TokenizesSimplifiesAndRelates) {
  EXPECT_EQ(FileInfo::tokenize("/a//b/"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(FileInfo::detokenize({"a", "b"}, true), "/a/b");
  EXPECT_EQ(FileInfo::simplifyPath("/a/./b/../c/"), "/a/c");
  EXPECT_EQ(FileInfo::simplifyPath("../a/../../b"), "../../b");
  EXPECT_EQ(FileInfo::simplifyPath("/.."), "/");
  EXPECT_EQ(FileInfo::simplifyPath("a/.."), ".");
  EXPECT_EQ(FileInfo::relativePath("/a/b/c.txt", "/a/d"), "../b/c.txt");
  EXPECT_EQ(FileInfo::relativePath("/a/b", "/a/b"), ".");
  EXPECT_EQ(FileInfo::relativePath("x/y", "/a"), "x/y");
}
