-- Returns nothing: require keeps true for it.
quiet_loads = (quiet_loads or 0) + 1
