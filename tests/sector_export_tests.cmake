# sector_export tests: filled in by its own change.
