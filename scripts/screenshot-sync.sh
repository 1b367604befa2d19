#!/usr/bin/env bash
# Takes pictures of the Manage Google Accounts and Sync Results dialogs, under a virtual X display:
#   bash scripts/screenshot-sync.sh [FOLDER]   (default docs/)
exec bash "$(dirname "$0")/screenshot.sh" --sync-dialogs "$@"
