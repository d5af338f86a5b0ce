// Filled by the subsystem as it grows.
