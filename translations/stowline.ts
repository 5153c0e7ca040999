<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>Stowline</name>
    <message>
        <source>version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List of Delivery Routes:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Facility:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage Bay Name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List of Storage Locations:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List of Centers:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Facility</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage Location:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Route/Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintain Delivery Routes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maintain Storage Locations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Assign Routes and Locations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version Number: %1.%2.%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage Bay Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An application error has occured. Please check the error logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select center to assign Delivery Route and/or Storage Loaction.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information Required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Information Validation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a Location description.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This Storage Location already defined, please enter different Location.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage location has been added successfully!!!!.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Storage Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select a facility.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage location has been updated successfully!!!!.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Storage Location</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select a Location to change.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select Storage Location to delete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected storage location will be deleted permanently. Do you want to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage location has been deleted successfully!!!!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Storage Location Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter a route description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This route already exists. Enter a different route.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route has been added successfully!!!!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route Added</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route has been updated successfully!!!!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update Route</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select a route to change.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please select Route to delete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The selected route will be deleted permanently. Do you want to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route has been deleted successfully!!!!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Route Deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Routes Found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Locations Found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export as CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export as CSV…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows only the rows holding every word typed (Ctrl+F); Esc clears it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the service</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the service: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stops waiting for the service</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time waited: %1 s</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
