// Folder removal and temporary images: everything inside goes, nothing
// outside is touched, and only the unbroken run of images is deleted.

#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "engine/BatchPlan.h"
#include "engine/RemoveFolderTree.h"
#include "engine/TempImages.h"
#include "tests/fixtures/TiffFixtures.h"

namespace pw {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteBytes;

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

void MakeFile(const std::string& path, mode_t mode = 0644)
{
    ASSERT_TRUE(WriteBytes(path, "content of " + path));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

// Runs the check in a child process as an unprivileged user, so that a test
// run as root (as CI runs) still meets the permissions it is about: root
// could remove read-only and locked entries without any handling of them.
// The tree under folder is handed to that user first.
bool AsUnprivilegedUser(const std::string& folder, const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    constexpr uid_t kNobody = 65534;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        ::lchown(entry.path().c_str(), kNobody, kNobody);
    ::lchown(folder.c_str(), kNobody, kNobody);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs check in a child process with a mount namespace of its own, once
// mount has made the mounts there: 0 when the check holds, 1 when it does
// not, 2 when no such namespace or mount can be made here.
int InMountNamespace(const std::function<bool()>& mount, const std::function<bool()>& check)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(::geteuid() == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !mount())
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

TEST(RemoveFolderTree, RemovesReadOnlyFilesAndNestedFoldersAndTheFolderItself)
{
    TempFolder dir;
    const std::string top = dir / "Demo1__1";
    ASSERT_EQ(::mkdir(top.c_str(), 0755), 0);
    MakeFile(top + "/page0001.tif", 0444);
    MakeFile(top + "/.hidden", 0000);
    ASSERT_EQ(::mkdir((top + "/nested").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((top + "/nested/deeper").c_str(), 0755), 0);
    MakeFile(top + "/nested/a.tif", 0400);
    MakeFile(top + "/nested/deeper/b name with blanks.tif");
    ASSERT_EQ(::mkdir((top + "/locked").c_str(), 0755), 0);
    MakeFile(top + "/locked/c.tif");
    ASSERT_EQ(::chmod((top + "/locked").c_str(), 0500), 0);
    ASSERT_EQ(::chmod((top + "/nested/deeper").c_str(), 0000), 0);

    EXPECT_TRUE(AsUnprivilegedUser(dir.path(), [&] { return RemoveFolderTree(top); }));
    EXPECT_FALSE(Exists(top));
    EXPECT_TRUE(Exists(dir.path())) << "the parent stays";
}

TEST(RemoveFolderTree, AFolderThatDoesNotExistGivesFalse)
{
    TempFolder dir;
    EXPECT_FALSE(RemoveFolderTree(dir / "missing"));
    EXPECT_FALSE(RemoveFolderTree(""));
}

// Another file system mounted inside the folder is left with everything in
// it (the test mounts one in a mount namespace of its own).
TEST(RemoveFolderTree, NeverLeavesTheFileSystemItStartedIn)
{
    TempFolder dir;
    const std::string top = dir / "split";
    ASSERT_EQ(::mkdir(top.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((top + "/mounted").c_str(), 0755), 0);
    MakeFile(top + "/page.tif");
    const std::string kept = top + "/mounted/other file system.tif";
    const int result = InMountNamespace(
        [&] { return ::mount("tmpfs", (top + "/mounted").c_str(), "tmpfs", 0, nullptr) == 0 && WriteBytes(kept, "keep"); },
        [&] {
            RemoveFolderTree(top);
            return Exists(kept) && !Exists(top + "/page.tif");
        });
    if (result == 2)
        GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(result, 0);
}

// A folder bound from elsewhere on the same file system, inside the split
// folder or as the split folder itself, is a mount point all the same: never
// entered nor emptied, and a split refuses the folder, saying why.
TEST(RemoveFolderTree, NeverEntersOrEmptiesABindMount)
{
    TempFolder outside;
    MakeFile(outside / "precious.tif");
    TempFolder dir;
    const std::string holds = dir / "holds_1";
    const std::string is = dir / "is_1";
    for (const std::string& folder : {holds, holds + "/bound", is})
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    MakeFile(holds + "/page.tif");
    const int result = InMountNamespace(
        [&] {
            return ::mount(outside.path().c_str(), (holds + "/bound").c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                   ::mount(outside.path().c_str(), is.c_str(), nullptr, MS_BIND, nullptr) == 0;
        },
        [&] {
            bool ok = FolderRemovalObstacle(holds) ==
                          holds + " holds the mount point " + holds + "/bound, which is never emptied" &&
                      FolderRemovalObstacle(is) == is + " is a mount point, which is never emptied";
            const test::ProgramFolder program;
            const BatchPlan plan =
                PlanBatch("Split", {outside / "precious.tif"}, dir.path(), {std::string("is"), {}, {}});
            ok = ok && !plan.ok && plan.error.find("is a mount point, which is never emptied") != std::string::npos;
            RemoveFolderTree(holds);
            RemoveFolderTree(is);
            return ok && Exists(outside / "precious.tif") && !Exists(holds + "/page.tif");
        });
    if (result == 2)
        GTEST_SKIP() << "no mount namespace here (bind mounts need root or a user namespace)";
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Exists(outside / "precious.tif"));
}

TEST(RemoveFolderTree, AnEmptyFolderIsRemoved)
{
    TempFolder dir;
    ASSERT_EQ(::mkdir((dir / "empty").c_str(), 0755), 0);
    EXPECT_TRUE(RemoveFolderTree(dir / "empty"));
    EXPECT_FALSE(Exists(dir / "empty"));
}

TEST(RemoveFolderTree, AFileIsNotAFolderAndStays)
{
    TempFolder dir;
    MakeFile(dir / "file.tif");
    EXPECT_FALSE(RemoveFolderTree(dir / "file.tif"));
    EXPECT_TRUE(Exists(dir / "file.tif"));
}

// The links lead to a folder full of files, to a single file, and to the
// folder's own parent; none of their targets may lose anything.
TEST(RemoveFolderTree, LinksInsideAreRemovedAsLinksAndTheirTargetsStayWhole)
{
    TempFolder outside;
    for (int i = 0; i < 20; ++i)
        MakeFile(outside / ("keep" + std::to_string(i) + ".tif"), i % 2 ? 0444 : 0644);
    ASSERT_EQ(::mkdir((outside / "sub").c_str(), 0755), 0);
    MakeFile(outside / "sub/keep.tif");
    MakeFile(outside / "single.tif");

    TempFolder dir;
    const std::string top = dir / "split";
    ASSERT_EQ(::mkdir(top.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((top + "/inner").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(outside.path().c_str(), (top + "/folder-link").c_str()), 0);
    ASSERT_EQ(::symlink(outside.path().c_str(), (top + "/inner/folder-link").c_str()), 0);
    ASSERT_EQ(::symlink((outside / "single.tif").c_str(), (top + "/file-link").c_str()), 0);
    ASSERT_EQ(::symlink("..", (top + "/inner/parent-link").c_str()), 0);
    ASSERT_EQ(::symlink((top + "/gone").c_str(), (top + "/dangling").c_str()), 0);

    EXPECT_TRUE(RemoveFolderTree(top));
    EXPECT_FALSE(Exists(top));

    int kept = 0;
    for (const auto& entry : fs::recursive_directory_iterator(outside.path())) {
        if (entry.is_regular_file())
            ++kept;
    }
    EXPECT_EQ(kept, 22);
    EXPECT_TRUE(Exists(dir.path()));
}

TEST(RemoveFolderTree, AFolderPathThatIsALinkRemovesOnlyTheLink)
{
    TempFolder outside;
    MakeFile(outside / "keep.tif");
    TempFolder dir;
    const std::string link = dir / "Demo1__1";
    ASSERT_EQ(::symlink(outside.path().c_str(), link.c_str()), 0);

    EXPECT_TRUE(RemoveFolderTree(link));
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(Exists(outside / "keep.tif"));
}

class TempImages : public ::testing::Test {
protected:
    void MakeImages(std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            MakeFile(TempImagePath(n), 0444);
    }

    TempFolder temp_;
    test::ScopedEnvironment tmpdir_{"TMPDIR", temp_.path()};
};

TEST_F(TempImages, NamesLieDirectlyInTheTemporaryFolder)
{
    EXPECT_EQ(TempImagePath(1), temp_.path() + "/HaskollTemp00000001.png");
    EXPECT_EQ(TempImagePath(12345678), temp_.path() + "/HaskollTemp12345678.png");
}

TEST_F(TempImages, OnlyTheUnbrokenRunFromOneIsDeleted)
{
    MakeImages({1, 2, 4});
    RemoveTempImages();
    EXPECT_FALSE(Exists(TempImagePath(1)));
    EXPECT_FALSE(Exists(TempImagePath(2)));
    EXPECT_TRUE(Exists(TempImagePath(4)));
}

TEST_F(TempImages, WithoutNumberOneNothingIsDeleted)
{
    MakeImages({2, 3});
    MakeFile(temp_ / "HaskollTemp1.png");
    RemoveTempImages();
    EXPECT_TRUE(Exists(TempImagePath(2)));
    EXPECT_TRUE(Exists(TempImagePath(3)));
    EXPECT_TRUE(Exists(temp_ / "HaskollTemp1.png"));
}

TEST_F(TempImages, ALinkOfSuchANameIsRemovedAsALink)
{
    TempFolder outside;
    MakeFile(outside / "precious.png");
    ASSERT_EQ(::symlink((outside / "precious.png").c_str(), TempImagePath(1).c_str()), 0);
    MakeImages({2});
    RemoveTempImages();
    EXPECT_FALSE(Exists(TempImagePath(1)));
    EXPECT_FALSE(Exists(TempImagePath(2)));
    EXPECT_TRUE(Exists(outside / "precious.png"));
}

}  // namespace
}  // namespace pw
