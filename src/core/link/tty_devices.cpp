// The system's tty devices, read with libudev.
#include <libudev.h>

#include <memory>

#include "link/port_list.h"

namespace lmv {

namespace {

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};

std::string text(const char* value) { return value ? value : ""; }

TtyDevice describe(udev_device* device) {
  TtyDevice tty;
  tty.kernelName = text(udev_device_get_sysname(device));
  tty.devNode = text(udev_device_get_devnode(device));
  for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry;
       entry = udev_list_entry_get_next(entry)) {
    tty.properties[text(udev_list_entry_get_name(entry))] = text(udev_list_entry_get_value(entry));
  }
  // Borrowed from the child; not to be unreferenced.
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
  if (usb) {
    tty.onUsb = true;
    tty.usbManufacturer = text(udev_device_get_sysattr_value(usb, "manufacturer"));
    tty.usbProduct = text(udev_device_get_sysattr_value(usb, "product"));
  }
  return tty;
}

}  // namespace

std::vector<TtyDevice> listTtyDevices() {
  std::vector<TtyDevice> devices;
  std::unique_ptr<udev, UdevDeleter> context(udev_new());
  if (!context) return devices;
  std::unique_ptr<udev_enumerate, UdevDeleter> enumerate(udev_enumerate_new(context.get()));
  if (!enumerate) return devices;
  udev_enumerate_add_match_subsystem(enumerate.get(), "tty");
  if (udev_enumerate_scan_devices(enumerate.get()) < 0) return devices;
  for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumerate.get()); entry;
       entry = udev_list_entry_get_next(entry)) {
    std::unique_ptr<udev_device, UdevDeleter> device(
        udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
    if (!device || !udev_device_get_devnode(device.get())) continue;
    devices.push_back(describe(device.get()));
  }
  return devices;
}

}  // namespace lmv
