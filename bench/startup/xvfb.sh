# Sourced by the start-up scripts: the private virtual X server every script
# of the project starts the same way (start_xvfb, stop_xvfb).
# shellcheck source=../../scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
