# road_net_report tests: filled in by its own change.
