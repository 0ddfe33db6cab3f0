#include "platform/device_access.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace orti {
namespace {

// A group other than root and other than our own, with its name.
bool SomeOtherGroup(gid_t& gid, std::string& name) {
  setgrent();
  while (const group* g = getgrent()) {
    if (g->gr_gid != 0 && g->gr_gid != getegid()) {
      gid = g->gr_gid;
      name = g->gr_name;
      endgrent();
      return true;
    }
  }
  endgrent();
  return false;
}

TEST(DeviceAccess, TheGroupIsReadFromTheDeviceThroughLinks) {
  test::TempDir dir;
  const std::string device = dir.File("ttyUSB7");
  test::WriteBytes(device, "");
  gid_t gid = 0;
  std::string name;
  ASSERT_TRUE(SomeOtherGroup(gid, name));
  if (chown(device.c_str(), static_cast<uid_t>(-1), gid) != 0) GTEST_SKIP() << "cannot chown";
  EXPECT_EQ(DeviceGroupName(device), name);
  const std::string link = dir.File("by-id-link");
  ASSERT_EQ(symlink(device.c_str(), link.c_str()), 0);
  EXPECT_EQ(DeviceGroupName(link), name);
  EXPECT_EQ(DeviceGroupName(dir.File("missing")), "");
  EXPECT_FALSE(CurrentUserName().empty());
}

TEST(DeviceAccess, UsbIdentityComesFromTheParentsOfTheTtyInSysfs) {
  test::TempDir dir;
  // /dev/ttyUSB0 and a by-id link to it.
  ASSERT_EQ(mkdir(dir.File("dev").c_str(), 0755), 0);
  test::WriteBytes(dir.File("dev/ttyUSB0"), "");
  test::WriteBytes(dir.File("dev/ttyS0"), "");
  ASSERT_EQ(symlink("ttyUSB0", dir.File("dev/usb-FTDI-if00-port0").c_str()), 0);
  // sysfs: class/tty/NAME/device -> the interface below the USB device.
  const std::string usb = dir.File("sys/devices/pci0/usb1/1-2");
  ASSERT_EQ(
      system(("mkdir -p " + usb + "/1-2:1.0/ttyUSB0 " + dir.File("sys/class/tty/ttyUSB0") + " " +
              dir.File("sys/class/tty/ttyS0") + " " + dir.File("sys/devices/platform/serial8250"))
                 .c_str()),
      0);
  test::WriteBytes(usb + "/idVendor", "0403\n");
  test::WriteBytes(usb + "/idProduct", "6001\n");
  test::WriteBytes(usb + "/manufacturer", "FTDI\n");
  test::WriteBytes(usb + "/product", "FT232R USB UART\n");
  test::WriteBytes(usb + "/serial", "A1B2C3D4\n");
  ASSERT_EQ(symlink((usb + "/1-2:1.0").c_str(), dir.File("sys/class/tty/ttyUSB0/device").c_str()),
            0);
  ASSERT_EQ(symlink(dir.File("sys/devices/platform/serial8250").c_str(),
                    dir.File("sys/class/tty/ttyS0/device").c_str()),
            0);

  const auto identity = UsbIdentityOf(dir.File("dev/usb-FTDI-if00-port0"), dir.File("sys"));
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->vendorId, "0403");
  EXPECT_EQ(identity->productId, "6001");
  EXPECT_EQ(identity->serial, "A1B2C3D4");
  EXPECT_EQ(UsbIdentityText(*identity),
            "USB 0403:6001 FTDI FT232R USB UART, серийный номер A1B2C3D4");
  EXPECT_FALSE(UsbIdentityOf(dir.File("dev/ttyS0"), dir.File("sys")));
  EXPECT_FALSE(UsbIdentityOf(dir.File("dev/missing"), dir.File("sys")));
  UsbIdentity bare;
  bare.vendorId = "1a86";
  bare.productId = "7523";
  EXPECT_EQ(UsbIdentityText(bare), "USB 1a86:7523");
}

}  // namespace
}  // namespace orti
